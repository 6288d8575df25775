// The installation from start to end against the test double: the order of
// every platform call, the files, the shortcuts and the messages.
#include "double/TestDouble.h"
#include "installer/FileManifest.h"
#include "installer/Installation.h"
#include "installer/InstallerState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing::ElementsAre;
using testing::IsEmpty;

namespace
{

using Calls = std::vector<std::string>;

// The product's files, in the order they are installed.
const char *const ExpectedManifest[] = {
    "Zarquel32.EXE",  "Zarquel32.HLP", "Mirtan.EXE",     "Zarquel.TXT", "Zarquel.DOC",
    "ZarquelC32.DLL", "ZarquelC32.H",  "ZarquelC32.LIB", "SampleA.C",   "SampleA.EXE",
    "SampleB.FRM",    "SampleB.MAK",   "SampleB.EXE",    "Intro.ZQL",   "Spectrum.ZQL",
    "Linear.ZQL",     "Mesh.ZQL",      "Curved.ZQL",     "Detail.ZQL",  "Deriv.ZQL",
    "Bins.ZQL",       "Spread.ZQL",    "Helix.ZQL",      "Cloud.ZQL",   "Mean.ZQL",
    "Decay.ZQL",      "Grid.ZQL",      "Tour.ZQL",       "Formula.ZQL", "Normal.ZQL",
    "Peaks.MTN",      "Damped.MTN",    "Zarquel.FAQ",    "Install.EXE", "Summary.DIZ",
};

const char Information[] = "MessageBoxA(null, \"Installation of the Zarquel software has "
                           "finished.\\n\", \"INFORMATION\", 0x1040)";
const char FilesMissing[] =
    "MessageBoxA(null, \"Installation of the Zarquel files has finished,\\nbut some files are "
    "missing!  Read MS Word file\\nZarquel.DOC or text file Zarquel.TXT to see list\\nof "
    "expected files.\", \"WARNING\", 0x1030)";
const char StartMenuFailed[] =
    "MessageBoxA(null, \"Installation of Zarquel onto the Start Menu failed!\\nRead MS Word file "
    "Zarquel.DOC or text file Zarquel.TXT\\nfor instructions on installing manually.\", "
    "\"ERROR\", 0x1010)";

std::string Q(const std::string &text)
{
    return Double::Quote(text.c_str());
}

int RunScenario(const Double::Scenario &scenario, char *commandLine = nullptr)
{
    Double::Start(scenario);
    return RunInstallation(Double::Module, nullptr, commandLine, SW_SHOWDEFAULT);
}

Calls Opening()
{
    return {"GetModuleFileNameA(module, 260)",
            "GetWindowsDirectoryA(240)",
            "OpenForReading(\"D:\\DISK1\\Zarquel32.exe\")",
            "CloseFile(\"D:\\DISK1\\Zarquel32.exe\")",
            "DialogBoxParamA(module, \"SetupBox\", null, SetupBoxProc, 0)",
            "GetWindowRect(SetupBox)",
            "GetDesktopWindow()",
            "GetWindowRect(desktop)",
            "MoveWindow(SetupBox, 169, 165, 301, 150, 0)",
            "GetDlgItem(SetupBox, 101)",
            "SendMessageA(SetupBox.101, EM_LIMITTEXT, 260, 0)",
            "SetDlgItemTextA(SetupBox, 101, \"C:\\Zarquel\\\")",
            "SetDlgItemTextA(SetupBox, 102, \"C:\\WINDOWS\\Start Menu\\Programs\\\")",
            "GetDlgItem(SetupBox, 1)",
            "SetFocus(SetupBox.1)"};
}

Calls ShortcutCalls(const std::string &program, const std::string &link,
                    const std::string &description)
{
    std::string linkPath = "C:\\WINDOWS\\Start Menu\\Programs\\" + link;
    return {"CoCreateInstance({00021401-0000-0000-C000-000000000046}, null, 1, "
            "{000214EE-0000-0000-C000-000000000046})",
            "IShellLinkA::SetPath(" + Q("C:\\Zarquel\\" + program) + ")",
            "IShellLinkA::SetWorkingDirectory(\"C:\\Zarquel\\\")",
            "IShellLinkA::SetDescription(" + Q(description) + ")",
            "IShellLinkA::QueryInterface({0000010B-0000-0000-C000-000000000046})",
            "MultiByteToWideChar(0, 0, " + Q(linkPath) + ", -1, 260)",
            "IPersistFile::Save(L" + Q(linkPath) + ", 1)",
            "IPersistFile::Release()",
            "IShellLinkA::Release()"};
}

void Append(Calls &calls, const Calls &more)
{
    calls.insert(calls.end(), more.begin(), more.end());
}

Calls MessageBoxes()
{
    return Double::CallsTo("MessageBoxA");
}

} // namespace

TEST(FileManifest, ListsTheProductsFilesInInstallationOrder)
{
    EXPECT_EQ(std::vector<std::string>(FileManifest, FileManifest + ManifestRowCount),
              std::vector<std::string>(std::begin(ExpectedManifest), std::end(ExpectedManifest)));
}

TEST(RunInstallation, AMissingMainProgramEndsTheRunWithOneError)
{
    Double::Scenario scenario;
    scenario.missingFiles = {"D:\\DISK1\\Zarquel32.EXE"};

    EXPECT_EQ(RunScenario(scenario), 0);

    EXPECT_THAT(Double::Calls(),
                ElementsAre("GetModuleFileNameA(module, 260)", "GetWindowsDirectoryA(240)",
                            "OpenForReading(\"D:\\DISK1\\Zarquel32.exe\")",
                            "lstrlenA(\"Zarquel software is not in Setup's folder:\\n%s\")",
                            "MessageBoxA(null, \"Zarquel software is not in Setup's "
                            "folder:\\nD:\\DISK1\\\", \"ERROR\", 0x1010)"));
}

TEST(RunInstallation, CancelEndsTheRunWithoutAMessage)
{
    Double::Scenario scenario;
    scenario.dialogActions = {Double::Press(IDCANCEL)};

    EXPECT_EQ(RunScenario(scenario), 0);

    Calls expected = Opening();
    Append(expected, {"> press 2", "EndDialog(SetupBox, 0)"});
    EXPECT_EQ(Double::Calls(), expected);
    EXPECT_EQ(InstallerState.CopyNeeded, 1);
}

TEST(RunInstallation, InstallsEveryFileAndBothShortcutsInOrder)
{
    EXPECT_EQ(RunScenario({}), 0);

    Calls expected = Opening();
    Append(expected,
           {"> press 1", "GetDlgItemTextA(SetupBox, 101, 260)", "SetLastError(0)",
            "CreateDirectoryA(\"C:\\Zarquel\\\", null)", "GetLastError()", "EndDialog(SetupBox, 1)",
            "CreateDialogParamA(module, \"ShowBox\", null, ShowBoxProc, 0)",
            "GetWindowRect(ShowBox)", "GetDesktopWindow()", "GetWindowRect(desktop)",
            "MoveWindow(ShowBox, 195, 220, 250, 40, 0)",
            "SetWindowTextA(ShowBox, \"Zarquel Software Installation Status\")",
            "GetDlgItem(ShowBox, 201)", "SetWindowTextA(ShowBox.201, \"  Please wait...\")"});
    for (const std::string name : ExpectedManifest)
        Append(expected, {"SetWindowTextA(ShowBox.201, " + Q("  Copying " + name) + ")",
                          "OpenForReading(" + Q("D:\\DISK1\\" + name) + ")",
                          "CloseFile(" + Q("D:\\DISK1\\" + name) + ")",
                          "CopyFileA(" + Q("D:\\DISK1\\" + name) + ", " +
                              Q("C:\\Zarquel\\" + name) + ", 0)"});
    Append(expected, {"SetWindowTextA(ShowBox.201, \"  Creating Start Menu shortcuts...\")",
                      "CoInitialize(null)"});
    Append(expected, ShortcutCalls("Zarquel32.exe", "Zarquel - Win32 Data Plotter.lnk", "Zarquel"));
    Append(expected, ShortcutCalls("Mirtan.exe", "Mirtan - Nonlinear Curve Fitter.lnk", "Mirtan"));
    Append(expected,
           {"SendMessageA(ShowBox, WM_CLOSE, 0, 0)", "DestroyWindow(ShowBox)",
            "lstrlenA(\"Installation of the Zarquel software has finished.\\n\")", Information});
    EXPECT_EQ(Double::Calls(), expected);

    EXPECT_EQ(InstallerState.StatusLine, nullptr);
    EXPECT_EQ(Double::OpenFiles(), 0);
}

TEST(RunInstallation, TheClosingReportFollowsTheTwoOutcomes)
{
    const char FailedCopy[] =
        "MessageBoxA(null, \"Failed to copy file ZarquelC32.DLL!\", \"WARNING\", 0x1030)";
    const struct {
        bool filesIncomplete;
        std::deque<HRESULT> saveResults;
        Calls messages;
    } cases[] = {
        {false, {}, {Information}},
        {true, {}, {FailedCopy, FilesMissing}},
        {false, {E_FAIL}, {StartMenuFailed}},
        {true, {E_FAIL}, {FailedCopy, FilesMissing, StartMenuFailed}},
        // Only the first shortcut counts; a positive status is a success.
        {false, {S_OK, E_FAIL}, {Information}},
        {false, {S_FALSE}, {Information}},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        if (c.filesIncomplete)
            scenario.failingCopies = {"C:\\Zarquel\\ZarquelC32.DLL"};
        scenario.saveResults = c.saveResults;

        EXPECT_EQ(RunScenario(scenario), 0);

        EXPECT_EQ(MessageBoxes(), c.messages);
        EXPECT_EQ(Double::CallsTo("IPersistFile::Save").size(), 2u) << "both shortcuts written";
    }
}

TEST(RunInstallation, AMissingFileIsReportedByTheWeightOfItsRow)
{
    const struct {
        const char *name;
        Calls messages;
    } cases[] = {
        {"Zarquel32.HLP",
         {"MessageBoxA(null, \"File Zarquel32.HLP is missing!\", \"ERROR\", 0x1010)",
          FilesMissing}},
        {"Mirtan.EXE",
         {"MessageBoxA(null, \"File Mirtan.EXE is missing!\", \"ERROR\", 0x1010)", FilesMissing}},
        {"Zarquel.TXT",
         {"MessageBoxA(null, \"File Zarquel.TXT is missing!\", \"WARNING\", 0x1030)",
          FilesMissing}},
        {"Install.EXE",
         {"MessageBoxA(null, \"File Install.EXE is missing!\", \"WARNING\", 0x1030)",
          FilesMissing}},
        // The last row's problems stay silent.
        {"Summary.DIZ", {Information}},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        scenario.missingFiles = {std::string("D:\\DISK1\\") + c.name};

        RunScenario(scenario);

        EXPECT_EQ(MessageBoxes(), c.messages) << c.name;
        EXPECT_EQ(Double::CallsTo("CopyFileA").size(), 34u) << "no copy of " << c.name;
        EXPECT_EQ(Double::CallsTo("SetWindowTextA(ShowBox.201, \"  Copying").size(), 35u);
    }
}

TEST(RunInstallation, SeveralMissingFilesAreReportedOneByOneInRowOrder)
{
    Double::Scenario scenario;
    scenario.missingFiles = {"D:\\DISK1\\Tour.ZQL", "D:\\DISK1\\Zarquel.DOC",
                             "D:\\DISK1\\Summary.DIZ"};
    RunScenario(scenario);
    EXPECT_THAT(MessageBoxes(),
                ElementsAre("MessageBoxA(null, \"File Zarquel.DOC is missing!\", \"WARNING\", "
                            "0x1030)",
                            "MessageBoxA(null, \"File Tour.ZQL is missing!\", \"WARNING\", 0x1030)",
                            FilesMissing));
}

TEST(RunInstallation, AFailedCopyNamesTheBareFile)
{
    Double::Scenario scenario;
    scenario.failingCopies = {"C:\\Zarquel\\Zarquel32.EXE"};
    RunScenario(scenario);
    EXPECT_THAT(MessageBoxes(),
                ElementsAre("MessageBoxA(null, \"Failed to copy file Zarquel32.EXE!\", \"ERROR\", "
                            "0x1010)",
                            FilesMissing));
}

TEST(RunInstallation, TheInstallersOwnFolderIsProbedButNotCopied)
{
    Double::Scenario scenario;
    scenario.dialogActions = {Double::Type("d:\\disk1"), Double::Press(IDOK)};
    scenario.directoryErrors["d:\\disk1\\"] = ERROR_ALREADY_EXISTS;
    scenario.missingFiles = {"D:\\DISK1\\Zarquel.FAQ"};

    RunScenario(scenario);

    EXPECT_EQ(InstallerState.CopyNeeded, 0);
    EXPECT_THAT(Double::CallsTo("CopyFileA"), IsEmpty());
    EXPECT_EQ(Double::CallsTo("OpenForReading").size(), 36u);
    EXPECT_THAT(Double::CallsTo("IShellLinkA::SetPath"),
                ElementsAre("IShellLinkA::SetPath(\"d:\\disk1\\Zarquel32.exe\")",
                            "IShellLinkA::SetPath(\"d:\\disk1\\Mirtan.exe\")"));
    EXPECT_THAT(MessageBoxes(),
                ElementsAre("MessageBoxA(null, \"A folder with that name already exists.\\nUse "
                            "that folder?\", \"PROCEED?\", 0x1021)",
                            "MessageBoxA(null, \"File Zarquel.FAQ is missing!\", \"WARNING\", "
                            "0x1030)",
                            FilesMissing));
}

TEST(InstallManifestRow, WithoutCopyingTheTargetPathIsNotTouched)
{
    Double::Start({});
    strcpy(InstallerState.SetupFolder, "D:\\DISK1\\");
    strcpy(InstallerState.TargetPath, "untouched");
    InstallerState.CopyNeeded = 0;
    uint32_t problems = 0;

    for (int row = 0; row < ManifestRowCount; row++)
        InstallManifestRow(row, problems);

    EXPECT_STREQ(InstallerState.TargetPath, "untouched");
    EXPECT_EQ(problems, 0u);
    EXPECT_THAT(Double::CallsTo("CopyFileA"), IsEmpty());
}

TEST(RunInstallation, GoesOnWhenTheDialogCannotBeCreated)
{
    Double::Scenario scenario;
    scenario.runDialog = false;
    scenario.dialogResult = -1;

    RunScenario(scenario);

    EXPECT_EQ(Double::CallsTo("CopyFileA").size(), 35u);
    EXPECT_EQ(Double::CallsTo("CopyFileA")[0],
              "CopyFileA(\"D:\\DISK1\\Zarquel32.EXE\", \"C:\\Zarquel\\Zarquel32.EXE\", 0)");
    EXPECT_THAT(MessageBoxes(), ElementsAre(Information));
}

TEST(RunInstallation, GoesOnWithoutAProgressWindow)
{
    Double::Scenario scenario;
    scenario.progressWindowFails = true;

    RunScenario(scenario);

    EXPECT_EQ(Double::CallsTo("SetWindowTextA(null, ").size(), 36u);
    EXPECT_THAT(Double::CallsTo("SendMessageA(null"),
                ElementsAre("SendMessageA(null, WM_CLOSE, 0, 0)"));
    EXPECT_EQ(Double::CallsTo("CopyFileA").size(), 35u);
    EXPECT_THAT(MessageBoxes(), ElementsAre(Information));
}

TEST(RunInstallation, IgnoresItsCommandLine)
{
    RunScenario({});
    Calls withoutArguments = Double::Calls();
    char arguments[] = "/S /D=E:\\Elsewhere --help";
    RunScenario({}, arguments);
    EXPECT_EQ(Double::Calls(), withoutArguments);
}

// Paths at the edge of the 260-byte fields: a composition of 259 characters
// is used, one of 260 is refused as no file could have that name.
TEST(RunInstallation, ASetupFolderTooLongForTheMainProgramsPathCountsAsMissing)
{
    for (size_t folderLength : {246u, 247u}) {
        const std::string folder = "D:\\" + std::string(folderLength - 4, 's') + "\\";
        Double::Scenario scenario;
        scenario.moduleFileName = folder + "I.EXE";

        RunScenario(scenario);

        if (folderLength == 246) {
            EXPECT_EQ(Double::CallsTo("OpenForReading").front(),
                      "OpenForReading(" + Q(folder + "Zarquel32.exe") + ")");
        } else {
            EXPECT_THAT(Double::CallsTo("OpenForReading"), IsEmpty());
            EXPECT_THAT(MessageBoxes(),
                        ElementsAre("MessageBoxA(null, " +
                                    Q("Zarquel software is not in Setup's folder:\n" + folder) +
                                    ", \"ERROR\", 0x1010)"));
        }
    }
}

TEST(RunInstallation, ADestinationTooLongForAFileNameFailsThatCopyAlone)
{
    const struct {
        size_t folderLength;
        Calls failedCopies; // the names longer than the room left
        bool startMenuFails;
    } cases[] = {
        {245, {}, false},
        {246, {"ZarquelC32.DLL", "ZarquelC32.LIB"}, false},
        // No room for "Zarquel32.exe" either: the first shortcut is refused too.
        {247, {"Zarquel32.EXE", "Zarquel32.HLP", "ZarquelC32.DLL", "ZarquelC32.LIB"}, true},
    };
    for (const auto &c : cases) {
        const std::string folder = "E:\\" + std::string(c.folderLength - 4, 'd') + "\\";
        Double::Scenario scenario;
        scenario.dialogActions = {Double::Type(folder), Double::Press(IDOK)};

        RunScenario(scenario);

        Calls failures;
        for (const std::string &message : MessageBoxes())
            if (message.find("Failed to copy file ") != std::string::npos)
                failures.push_back(message.substr(message.find("file ") + 5,
                                                  message.find('!') - message.find("file ") - 5));
        EXPECT_EQ(failures, c.failedCopies) << c.folderLength;
        EXPECT_EQ(Double::CallsTo("CopyFileA").size(), 35 - c.failedCopies.size());
        bool startMenuFailed = MessageBoxes().back() == StartMenuFailed;
        EXPECT_EQ(startMenuFailed, c.startMenuFails) << c.folderLength;
        EXPECT_EQ(Double::CallsTo("CoCreateInstance").size(), c.startMenuFails ? 1u : 2u);
    }
}

TEST(RunInstallation, AProgramsFolderTooLongForTheLinkFailsTheStartMenu)
{
    Double::Scenario scenario;
    scenario.windowsDirectory = "C:\\" + std::string(236, 'w'); // 239 characters

    RunScenario(scenario);

    EXPECT_EQ(strlen(InstallerState.ProgramsFolder), 260u);
    EXPECT_THAT(Double::CallsTo("IPersistFile::Save"), IsEmpty());
    EXPECT_EQ(Double::CallsTo("IShellLinkA::Release").size(), 2u);
    EXPECT_THAT(MessageBoxes(), ElementsAre(StartMenuFailed));
}
