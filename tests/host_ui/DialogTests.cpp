// The installer's own dialog procedures run by the host's dialog manager:
// SetupBoxProc in the modal loop with scripted answers, ShowBoxProc as the
// modeless progress window, CenterOnDesktop on real window rectangles.
#include "Session.h"
#include "StandIns.h"

#include "installer/InstallerState.h"
#include "ui/CenterOnDesktop.h"
#include "ui/SetupBox.h"
#include "ui/ShowBox.h"
#include "ui/resources/ResourceIds.h"

#include <gmock/gmock.h>

using testing::ElementsAreArray;

namespace
{

class SetupBoxTest : public HostUiSession
{
  protected:
    INT_PTR Run() { return DialogBoxParamA(nullptr, "SetupBox", nullptr, SetupBoxProc, 0); }

    // The captions and texts of the message boxes shown, in order.
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> boxes;
        for (const JsonValue &box : TraceEvents("messagebox"))
            boxes.push_back(box.Text("caption") + ": " + box.Text("text"));
        return boxes;
    }
};

const char *const InvalidPath = "ERROR: Invalid path to specified destination folder.";
const char *const InvalidSpecification = "ERROR: Invalid specification for destination folder.";
const char *const FolderExists =
    "PROCEED?: A folder with that name already exists.\nUse that folder?";

} // namespace

TEST_F(SetupBoxTest, RunsTheDestinationDialogFromAnswerLines)
{
    struct Case {
        const char *what;
        std::vector<std::string> existing;
        std::string lines;
        INT_PTR result;
        const char *destFolder; // after the dialog; null: not looked at
        std::vector<std::string> created;
        std::vector<std::string> boxes;
    };
    const std::string longEntry = "C:\\" + std::string(297, 'A');
    const Case cases[] = {
        {"Enter accepts the default folder", {}, "\n", 1, "C:\\Zarquel\\", {"C:\\Zarquel\\"}, {}},
        {"ok accepts the default folder", {}, "ok\n", 1, "C:\\Zarquel\\", {"C:\\Zarquel\\"}, {}},
        {"a typed folder is trimmed and completed",
         {},
         "text D:\\Data  \nok\n",
         1,
         "D:\\Data\\",
         {"D:\\Data\\"},
         {}},
        {"cancel", {}, "cancel\n", 0, "C:\\Zarquel\\", {}, {}},
        {"the close box", {}, "close\n", 0, "C:\\Zarquel\\", {}, {}},
        {"the end of input is the close box", {}, "", 0, "C:\\Zarquel\\", {}, {}},
        {"an existing folder used",
         {"C:\\Zarquel"},
         "ok\nok\n",
         1,
         "C:\\Zarquel\\",
         {},
         {FolderExists}},
        {"an existing folder declined, then cancel",
         {"C:\\Zarquel"},
         "ok\ncancel\ncancel\n",
         0,
         "C:\\Zarquel\\",
         {},
         {FolderExists}},
        {"the end of input in the question declines, then closes",
         {"C:\\Zarquel"},
         "ok\n",
         0,
         "C:\\Zarquel\\",
         {},
         {FolderExists}},
        {"a missing parent",
         {},
         "text D:\\No\\Such\\Place\nok\nok\ncancel\n",
         0,
         "D:\\No\\Such\\Place\\",
         {},
         {InvalidPath}},
        {"a missing drive",
         {},
         "text Q:\\Zarquel\nok\n\ncancel\n",
         0,
         "Q:\\Zarquel\\",
         {},
         {InvalidPath}},
        {"a leading blank",
         {},
         "text  C:\\Zarquel\nok\n\ncancel\n",
         0,
         " C:\\Zarquel\\",
         {},
         {InvalidSpecification}},
        {"a refusal, then a corrected entry",
         {},
         "text D:\\No\\Such\nok\nok\ntext D:\\Such\nok\n",
         1,
         "D:\\Such\\",
         {"D:\\Such\\"},
         {InvalidPath}},
        // The edit control takes 260 characters, the dialog reads 259 of them
        // and finds no room for the backslash.
        {"an entry longer than the field",
         {},
         "text " + longEntry + "\nok\nok\ncancel\n",
         0,
         nullptr,
         {},
         {InvalidSpecification}},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.what);
        TearDown();
        SetUp();
        for (const std::string &folder : each.existing)
            StandIn::AddFolder(folder);
        Answer(each.lines);
        EXPECT_EQ(Run(), each.result);
        if (each.destFolder != nullptr) {
            EXPECT_STREQ(InstallerState.DestFolder, each.destFolder);
        }
        EXPECT_EQ(StandIn::CreatedFolders(), each.created);
        EXPECT_THAT(Boxes(), ElementsAreArray(each.boxes));
        EXPECT_EQ(TraceEvents("end").size(), 1u);
    }
}

TEST_F(SetupBoxTest, TheFieldTakesTwoHundredSixtyCharacters)
{
    std::string entry = "C:\\" + std::string(297, 'A');
    Answer("text " + entry + "\ncancel\n");
    EXPECT_EQ(Run(), 0);
    std::vector<JsonValue> inputs = TraceEvents("input");
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].Text("text"), entry.substr(0, 260));
}

TEST_F(SetupBoxTest, AcceptingTheInstallersOwnFolderNeedsNoCopy)
{
    StandIn::AddFolder("D:\\DISK1");
    strcpy(InstallerState.SetupFolder, "D:\\DISK1\\");
    Answer("text d:\\disk1\nok\nok\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(InstallerState.CopyNeeded, 0);
    EXPECT_STREQ(InstallerState.DestFolder, "d:\\disk1\\");
}

TEST_F(SetupBoxTest, TakesUtf8EntriesAsWindows1252)
{
    Answer("text C:\\Zarquel Größe\nok\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_STREQ(InstallerState.DestFolder, "C:\\Zarquel Gr\xF6\xDF"
                                            "e\\");
    EXPECT_THAT(StandIn::CreatedFolders(), ElementsAreArray({std::string("C:\\Zarquel Gr\xF6\xDF"
                                                                         "e\\")}));
}

TEST_F(SetupBoxTest, ShowsTheDialogCentredWithItsFolders)
{
    strcpy(InstallerState.ProgramsFolder, "C:\\WINDOWS\\Start Menu\\Programs\\");
    Answer("cancel\n");
    EXPECT_EQ(Run(), 0);

    std::vector<JsonValue> windows = TraceEvents("window");
    ASSERT_EQ(windows.size(), 1u);
    const JsonValue &shown = windows[0];
    EXPECT_EQ(shown.Text("template"), "SETUPBOX");
    EXPECT_EQ(shown.Text("caption"), "Zarquel Software Installation");
    // A 332 x 205 window on the 640 x 480 desktop: (640 - 332) / 2 = 154,
    // (480 - 205) / 2 = 137 with the half pixel dropped.
    const JsonValue *rect = shown.Find("rect");
    ASSERT_NE(rect, nullptr);
    ASSERT_EQ(rect->items.size(), 4u);
    EXPECT_EQ(rect->items[0].number, 154);
    EXPECT_EQ(rect->items[1].number, 137);
    EXPECT_EQ(rect->items[2].number, 154 + 332);
    EXPECT_EQ(rect->items[3].number, 137 + 205);

    std::string screen = Transcript();
    for (const char *text :
         {"- Zarquel Software Installation -",
          "|  The Zarquel files will be installed in the following folder:", "[C:\\Zarquel\\ ",
          "Start Menu shortcuts will be installed in the following folder:",
          "C:\\WINDOWS\\Start Menu\\Programs\\", "[>OK<]", "[ Cancel ]", "> cancel"})
        EXPECT_NE(screen.find(text), std::string::npos) << text << " in\n" << screen;
}

class CenterOnDesktopTest : public HostUiSession
{
};

TEST_F(CenterOnDesktopTest, CentresRealWindowsWithHalvesDroppedTowardZero)
{
    // The window's size is set first, then CenterOnDesktop moves it on the
    // 640 x 480 desktop.
    struct Case {
        int width, height;
        int left, top;
    };
    const Case cases[] = {
        {332, 205, 154, 137}, // SETUPBOX
        {326, 45, 157, 217},  // SHOWBOX
        {301, 150, 169, 165}, // a difference of 339 gives 169
        {645, 100, -2, 190},  // -5 gives -2, not -3
        {640, 480, 0, 0},     {1001, 483, -180, -1},
    };
    HWND window = CreateDialogParamA(nullptr, "ShowBox", nullptr, nullptr, 0);
    ASSERT_NE(window, nullptr);
    for (const Case &each : cases) {
        MoveWindow(window, 33, 44, each.width, each.height, FALSE);
        CenterOnDesktop(window);
        RECT rect;
        ASSERT_TRUE(GetWindowRect(window, &rect));
        EXPECT_EQ(rect.left, each.left) << each.width;
        EXPECT_EQ(rect.top, each.top) << each.height;
        EXPECT_EQ(rect.right - rect.left, each.width);
        EXPECT_EQ(rect.bottom - rect.top, each.height);
    }
    DestroyWindow(window);
}

class ShowBoxTest : public HostUiSession
{
};

TEST_F(ShowBoxTest, ShowsEachStatusTextAndClosesOnRequest)
{
    HWND window = CreateDialogParamA(nullptr, "ShowBox", nullptr, ShowBoxProc, 0);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IsWindow(InstallerState.StatusLine));
    EXPECT_EQ(InstallerState.StatusLine, GetDlgItem(window, StatusText));
    char text[64];
    GetWindowTextA(InstallerState.StatusLine, text, sizeof text);
    EXPECT_STREQ(text, "  Please wait...");
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 157);
    EXPECT_EQ(rect.top, 217);

    for (const char *status :
         {"  Copying Zarquel32.EXE", "  Copying Zarquel.TXT", "  Creating Start Menu shortcuts..."})
        SetWindowTextA(InstallerState.StatusLine, status);
    std::string shown = Transcript();
    EXPECT_NE(shown.find("- Zarquel Software Installation Status -"), std::string::npos) << shown;
    // The label begins one column in (4 dialog units), its text with two blanks.
    EXPECT_NE(shown.find("|    Please wait..."), std::string::npos) << shown;
    // Off a terminal each status text is a line of its own, as it is set.
    EXPECT_NE(shown.find("\n  Copying Zarquel32.EXE\n  Copying Zarquel.TXT\n  Creating Start "
                         "Menu shortcuts...\n"),
              std::string::npos)
        << shown;

    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(InstallerState.StatusLine, nullptr);

    // After the close: a status text through the null handle and a second
    // close request change nothing.
    size_t events = TraceEvents().size();
    size_t screen = Transcript().size();
    EXPECT_FALSE(SetWindowTextA(InstallerState.StatusLine, "  Too late"));
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(TraceEvents().size(), events);
    EXPECT_EQ(Transcript().size(), screen);

    std::vector<std::string> statuses;
    for (const JsonValue &event : TraceEvents("status"))
        statuses.push_back(event.Text("text"));
    EXPECT_THAT(statuses,
                ElementsAreArray({"  Please wait...", "  Copying Zarquel32.EXE",
                                  "  Copying Zarquel.TXT", "  Creating Start Menu shortcuts..."}));
}
