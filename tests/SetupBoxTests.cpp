// The destination folder dialog: opening, the entry's normalisation and
// validation, the folder creation outcomes, Cancel and the copy decision.
#include "double/TestDouble.h"
#include "installer/InstallerState.h"
#include "ui/SetupBox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::ElementsAre;
using testing::IsEmpty;

namespace
{

const char InvalidSpecification[] = "MessageBoxA(null, \"Invalid specification for destination "
                                    "folder.\", \"ERROR\", 0x1010)";
const char InvalidPath[] =
    "MessageBoxA(null, \"Invalid path to specified destination folder.\", \"ERROR\", 0x1010)";
const char UseExisting[] = "MessageBoxA(null, \"A folder with that name already exists.\\nUse "
                           "that folder?\", \"PROCEED?\", 0x1021)";

class SetupBox : public testing::Test
{
  protected:
    void Open(Double::Scenario scenario = {})
    {
        Double::Start(scenario);
        strcpy(InstallerState.SetupFolder, "D:\\DISK1\\");
        strcpy(InstallerState.ProgramsFolder, "C:\\WINDOWS\\Start Menu\\Programs\\");
        dialog = Double::MakeDialog("SetupBox", SetupBoxProc);
    }

    // The user types `entry` and presses OK; returns the procedure's result.
    INT_PTR PressOkWith(const std::string &entry)
    {
        SetDlgItemTextA(dialog, 101, entry.c_str());
        return Command(IDOK);
    }

    INT_PTR Command(int id)
    {
        calls = Double::Calls().size();
        return SetupBoxProc(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    }

    // The calls made since the last command.
    std::vector<std::string> CommandCalls() const
    {
        return {Double::Calls().begin() + static_cast<long>(calls), Double::Calls().end()};
    }

    HWND dialog = nullptr;
    size_t calls = 0;
};

} // namespace

TEST_F(SetupBox, OpensCentredWithTheFoldersAndTheFocusOnOk)
{
    Open();
    EXPECT_EQ(SetupBoxProc(dialog, WM_INITDIALOG, 0, 0), 0);
    EXPECT_THAT(Double::Calls(),
                ElementsAre("GetWindowRect(SetupBox)", "GetDesktopWindow()",
                            "GetWindowRect(desktop)", "MoveWindow(SetupBox, 169, 165, 301, 150, 0)",
                            "GetDlgItem(SetupBox, 101)",
                            "SendMessageA(SetupBox.101, EM_LIMITTEXT, 260, 0)",
                            "SetDlgItemTextA(SetupBox, 101, \"C:\\Zarquel\\\")",
                            "SetDlgItemTextA(SetupBox, 102, \"C:\\WINDOWS\\Start "
                            "Menu\\Programs\\\")",
                            "GetDlgItem(SetupBox, 1)", "SetFocus(SetupBox.1)"));
}

TEST_F(SetupBox, AcceptsACreatedFolderInTheOrderTheCallsMatter)
{
    Open();
    EXPECT_EQ(PressOkWith("E:\\Plots"), 1);
    EXPECT_THAT(CommandCalls(),
                ElementsAre("GetDlgItemTextA(SetupBox, 101, 260)", "SetLastError(0)",
                            "CreateDirectoryA(\"E:\\Plots\\\", null)", "GetLastError()",
                            "EndDialog(SetupBox, 1)"));
    EXPECT_STREQ(InstallerState.DestFolder, "E:\\Plots\\");
    EXPECT_NE(InstallerState.CopyNeeded, 0);
}

TEST_F(SetupBox, NormalisesTheEntryBeforeCreatingIt)
{
    const std::string folder258 = "C:\\" + std::string(255, 'd');
    const std::string folder259 = folder258 + "e";
    const struct {
        std::string entry;
        std::string created; // the folder CreateDirectoryA gets
    } cases[] = {
        {"", "C:\\Zarquel\\"},
        {"   ", "C:\\Zarquel\\"},
        {"D:\\Data  ", "D:\\Data\\"},
        {"D:\\Data\\\t", "D:\\Data\\"},
        {"D:\\Data\r\n", "D:\\Data\\"},
        {"D:\\Data\\", "D:\\Data\\"},
        // Letters of the code page beyond ASCII are kept, at either end.
        {"\xC4:\\Daten\xA0", "\xC4:\\Daten\xA0\\"},
        // 258 characters take the backslash; the 259th fills the field exactly.
        {folder258, folder258 + "\\"},
        {folder258 + "\\", folder258 + "\\"},
        // Only 259 characters of a 260-character entry are read.
        {folder258 + "\\x", folder258 + "\\"},
    };
    for (const auto &c : cases) {
        Open();
        EXPECT_EQ(PressOkWith(c.entry), 1);
        EXPECT_THAT(Double::CallsTo("CreateDirectoryA"),
                    ElementsAre("CreateDirectoryA(" + Double::Quote(c.created.c_str()) + ", null)"))
            << Double::Quote(c.entry.c_str());
        EXPECT_EQ(InstallerState.DestFolder, c.created);
        EXPECT_THAT(Double::CallsTo("EndDialog"), ElementsAre("EndDialog(SetupBox, 1)"));
    }
}

TEST_F(SetupBox, RefusesAMalformedEntryWithoutCreatingAnything)
{
    const std::string folder259 = "C:\\" + std::string(256, 'd');
    const std::string entries[] = {
        " D:\\Data",
        "\tD:\\Data",
        // No room for the backslash: refused rather than cut to another folder.
        folder259,
        folder259 + "x",
    };
    for (const std::string &entry : entries) {
        Open();
        EXPECT_EQ(PressOkWith(entry), 1) << Double::Quote(entry.c_str());
        EXPECT_THAT(Double::CallsTo("CreateDirectoryA"), IsEmpty());
        EXPECT_THAT(Double::CallsTo("MessageBoxA"), ElementsAre(InvalidSpecification));
        EXPECT_THAT(Double::CallsTo("EndDialog"), IsEmpty());
        EXPECT_LT(strlen(InstallerState.DestFolder), sizeof InstallerState.DestFolder);
    }
}

TEST_F(SetupBox, TheLastErrorAfterCreationDecides)
{
    const struct {
        DWORD lastError;
        std::deque<int> answers;
        std::vector<std::string> messages;
        bool accepted;
    } cases[] = {
        {ERROR_SUCCESS, {}, {}, true},
        {ERROR_ALREADY_EXISTS, {IDOK}, {UseExisting}, true},
        {ERROR_ALREADY_EXISTS, {IDCANCEL}, {UseExisting}, false},
        {ERROR_ALREADY_EXISTS, {0}, {UseExisting}, false}, // the box could not be shown
        {ERROR_PATH_NOT_FOUND, {}, {InvalidPath}, false},
        {ERROR_ACCESS_DENIED, {}, {InvalidSpecification}, false},
        {ERROR_INVALID_NAME, {}, {InvalidSpecification}, false},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        scenario.directoryErrors["E:\\Plots\\"] = c.lastError;
        scenario.messageBoxAnswers = c.answers;
        Open(scenario);
        InstallerState.CopyNeeded = 7;

        EXPECT_EQ(PressOkWith("E:\\Plots"), 1);

        EXPECT_EQ(Double::CallsTo("MessageBoxA"), c.messages) << "last error " << c.lastError;
        EXPECT_EQ(Double::CallsTo("EndDialog").size(), c.accepted ? 1u : 0u)
            << "last error " << c.lastError;
        // The copy decision is made only on acceptance.
        EXPECT_EQ(InstallerState.CopyNeeded != 7, c.accepted) << "last error " << c.lastError;
    }
}

TEST_F(SetupBox, AStaleLastErrorDoesNotLeakIntoTheOutcome)
{
    Open();
    SetLastError(ERROR_ALREADY_EXISTS); // left by some earlier call
    EXPECT_EQ(PressOkWith("E:\\New"), 1);
    EXPECT_THAT(Double::CallsTo("MessageBoxA"), IsEmpty());
    EXPECT_THAT(Double::CallsTo("EndDialog"), ElementsAre("EndDialog(SetupBox, 1)"));
}

TEST_F(SetupBox, ARefusedEntryCanBeCorrectedAndTheNextOkReadsTheFieldAgain)
{
    Double::Scenario scenario;
    scenario.directoryErrors["D:\\No\\Such\\Place\\"] = ERROR_PATH_NOT_FOUND;
    Open(scenario);

    EXPECT_EQ(PressOkWith("D:\\No\\Such\\Place"), 1);
    EXPECT_STREQ(InstallerState.DestFolder, "D:\\No\\Such\\Place\\");
    EXPECT_EQ(PressOkWith("D:\\Place"), 1);

    EXPECT_THAT(Double::CallsTo("MessageBoxA"), ElementsAre(InvalidPath));
    EXPECT_THAT(Double::CallsTo("EndDialog"), ElementsAre("EndDialog(SetupBox, 1)"));
    EXPECT_STREQ(InstallerState.DestFolder, "D:\\Place\\");
}

TEST_F(SetupBox, CopyingIsSkippedOnlyForTheInstallersOwnFolder)
{
    const struct {
        const char *setupFolder;
        const char *entry;
        bool copyNeeded;
    } cases[] = {
        {"D:\\DISK1\\", "d:\\disk1", false},
        {"D:\\DISK1\\", "D:\\DISK1\\", false},
        {"D:\\DISK1\\", "D:\\DISK2", true},
        {"D:\\DISK1\\", "D:\\DISK1\\SUB", true},
        // Only A to Z fold: an accented capital differs from its small letter.
        {"D:\\\xC4RGER\\", "d:\\\xE4rger", true},
        {"D:\\\xC4RGER\\", "d:\\\xC4rger", false},
    };
    for (const auto &c : cases) {
        Open();
        strcpy(InstallerState.SetupFolder, c.setupFolder);
        PressOkWith(c.entry);
        EXPECT_EQ(InstallerState.CopyNeeded != 0, c.copyNeeded) << c.entry;
    }
}

TEST(CompareIgnoringAsciiCase, GivesTheDifferenceOfTheFirstDifferingBytes)
{
    const struct {
        const char *first;
        const char *second;
        int result;
    } cases[] = {
        {"abc", "ABC", 0},     {"", "", 0},
        {"a", "B", 'A' - 'B'}, {"ab", "a", 'B'},
        {"a", "ab", -'B'},     {"\xFF", "", 255},
        {"", "\xFF", -255},    {"\xE4", "\xC4", 0xE4 - 0xC4},
        {"[", "{", '[' - '{'}, // brackets are not letters
    };
    for (const auto &c : cases)
        EXPECT_EQ(CompareIgnoringAsciiCase(c.first, c.second), c.result)
            << Double::Quote(c.first) << " against " << Double::Quote(c.second);
}

TEST_F(SetupBox, CancelEndsWithZeroAndTouchesNothing)
{
    Open();
    InstallerState.CopyNeeded = 1;
    EXPECT_EQ(Command(IDCANCEL), 1);
    EXPECT_THAT(CommandCalls(), ElementsAre("EndDialog(SetupBox, 0)"));
    EXPECT_EQ(InstallerState.CopyNeeded, 1);
    EXPECT_STREQ(InstallerState.DestFolder, "C:\\Zarquel\\");
}

TEST_F(SetupBox, LeavesOtherCommandsAndMessagesToThePlatform)
{
    Open();
    EXPECT_EQ(Command(101), 0);
    EXPECT_EQ(Command(102), 0);
    EXPECT_EQ(SetupBoxProc(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(SetupBoxProc(dialog, WM_SETTEXT, 0, 0), 0);
    // The notification code in the high word is not looked at.
    EXPECT_EQ(SetupBoxProc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0), 1);
    EXPECT_THAT(Double::CallsTo("EndDialog"), ElementsAre("EndDialog(SetupBox, 0)"));
}

TEST(TrimTrailingBlanks, RemovesBlanksAndControlCharactersAtTheEndOnly)
{
    const struct {
        const char *text;
        const char *trimmed;
    } cases[] = {
        {"", ""},
        {" \t\r\n", ""},
        {"D:\\Data \x01\x1F", "D:\\Data"},
        {" D:\\My Data ", " D:\\My Data"},
        {"D:\\Data\x7F", "D:\\Data\x7F"},
        {"D:\\Data\xA0", "D:\\Data\xA0"},
    };
    for (const auto &c : cases) {
        char text[64];
        strcpy(text, c.text);
        TrimTrailingBlanks(text);
        EXPECT_STREQ(text, c.trimmed) << Double::Quote(c.text);
    }
}
