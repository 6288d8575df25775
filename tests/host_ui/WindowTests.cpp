// The window operations on dialogs made from the installer's templates, with
// a recording dialog procedure: texts, messages, handles, rectangles.
#include "Session.h"

#include "platform/host/ui/WindowTable.h"
#include "ui/resources/ResourceIds.h"

#include <gmock/gmock.h>

#include <string.h>

using testing::ElementsAre;

namespace
{

struct Delivered {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Delivered &other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

std::ostream &operator<<(std::ostream &out, const Delivered &each)
{
    return out << "{0x" << std::hex << each.message << ", " << each.wParam << ", " << each.lParam
               << std::dec << "}";
}

std::vector<Delivered> Messages;
// WM_INITDIALOG's result, and whether WM_CLOSE is handled (by destroying the window).
INT_PTR InitResult = TRUE;
bool HandleClose = false;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Messages.push_back({message, wParam, lParam});
    if (message == WM_INITDIALOG)
        return InitResult;
    if (message == WM_CLOSE && HandleClose) {
        DestroyWindow(window);
        return TRUE;
    }
    return FALSE;
}

const UINT WmDestroy = 0x0002;
const DWORD ErrorControlIdNotFound = 1421;

class WindowTest : public HostUiSession
{
  protected:
    void SetUp() override
    {
        HostUiSession::SetUp();
        Messages.clear();
        InitResult = TRUE;
        HandleClose = false;
    }

    HWND Open(const char *name)
    {
        HWND dialog = CreateDialogParamA(nullptr, name, nullptr, RecordingProc, 0x1234);
        EXPECT_NE(dialog, nullptr) << name;
        Messages.clear();
        return dialog;
    }

    static LPARAM Param(HWND window) { return reinterpret_cast<LPARAM>(window); }
};

} // namespace

TEST_F(WindowTest, AMissingTemplateMakesNoDialog)
{
    SetLastError(0);
    EXPECT_EQ(DialogBoxParamA(nullptr, "NoSuchBox", nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(nullptr, "SetupBox2", nullptr, RecordingProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(TraceEvents().empty());
}

TEST_F(WindowTest, InitialisesWithTheParameterAndTheFirstTabStop)
{
    InitResult = TRUE;
    HWND dialog = CreateDialogParamA(nullptr, "setupbox", nullptr, RecordingProc, 0x1234);
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, DestFolderEdit);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], (Delivered{WM_INITDIALOG, reinterpret_cast<WPARAM>(edit), 0x1234}));
    // A non-zero result leaves the focus on that control.
    EXPECT_EQ(SetFocus(nullptr), edit);
    EXPECT_TRUE(IsWindow(dialog));
    // The template's texts are the first texts of the controls.
    char text[80];
    EXPECT_EQ(GetDlgItemTextA(dialog, DestFolderEdit, text, sizeof text), 10u);
    EXPECT_STREQ(text, "C:\\Zarquel");
    EXPECT_EQ(GetWindowTextA(dialog, text, sizeof text), 29);
    EXPECT_STREQ(text, "Zarquel Software Installation");
    DestroyWindow(dialog);
}

TEST_F(WindowTest, CopiesTextsAsWindowsTruncatesThem)
{
    HWND dialog = Open("SetupBox");
    ASSERT_TRUE(SetDlgItemTextA(dialog, DestFolderEdit, "C:\\Zarquel\\"));
    HWND edit = GetDlgItem(dialog, DestFolderEdit);
    struct Case {
        int size;
        int count;
        const char *text; // null: the buffer is not touched
    };
    const Case cases[] = {
        {-1, 0, nullptr},
        {0, 0, nullptr},
        {1, 0, ""},
        {2, 1, "C"},
        {11, 10, "C:\\Zarquel"},
        {12, 11, "C:\\Zarquel\\"},
        {100, 11, "C:\\Zarquel\\"},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE("size " + std::to_string(each.size));
        char bytes[3][120];
        for (auto &buffer : bytes)
            memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetWindowTextA(edit, bytes[0], each.size), each.count);
        EXPECT_EQ(GetDlgItemTextA(dialog, DestFolderEdit, bytes[1], each.size), UINT(each.count));
        EXPECT_EQ(
            SendMessageA(edit, WM_GETTEXT, each.size, Param(reinterpret_cast<HWND>(bytes[2]))),
            each.count);
        for (auto &buffer : bytes) {
            if (each.text == nullptr) {
                EXPECT_EQ(buffer[0], '#');
            } else {
                EXPECT_STREQ(buffer, each.text);
                // Nothing beyond the terminating zero is written.
                EXPECT_EQ(buffer[strlen(each.text) + 1], '#');
            }
        }
    }
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 11);

    // A text longer than a window holds is kept up to its room.
    std::string longText(3000, 'x');
    ASSERT_TRUE(SetWindowTextA(edit, longText.c_str()));
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), HostUi::WindowTextRoom - 1);
    DestroyWindow(dialog);
}

TEST_F(WindowTest, AMissingControlIdFindsNothing)
{
    HWND dialog = Open("SetupBox");
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(dialog, 999), nullptr);
    EXPECT_EQ(GetLastError(), ErrorControlIdNotFound);
    char text[8] = "kept";
    EXPECT_EQ(GetDlgItemTextA(dialog, 999, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(SetDlgItemTextA(dialog, 999, "nowhere"));
    // The labels share id 0; the first of them answers.
    EXPECT_EQ(GetDlgItemTextA(dialog, 0, text, sizeof text), 7u);
    EXPECT_STREQ(text, "The Zar");
    DestroyWindow(dialog);
}

TEST_F(WindowTest, DeadAndNullHandlesAreRefusedWithoutEffect)
{
    HWND dialog = Open("ShowBox");
    HWND status = GetDlgItem(dialog, StatusText);
    RECT before;
    ASSERT_TRUE(GetWindowRect(dialog, &before));
    ASSERT_TRUE(DestroyWindow(dialog));
    EXPECT_THAT(Messages, ElementsAre(Delivered{WmDestroy, 0, 0}));
    Messages.clear();
    size_t eventsBefore = TraceEvents().size();

    for (HWND window : {dialog, status, static_cast<HWND>(nullptr)}) {
        SCOPED_TRACE(window == dialog ? "dialog" : window == status ? "control" : "null");
        EXPECT_FALSE(IsWindow(window));
        auto refused = [](bool failed) {
            bool lastError = GetLastError() == ERROR_INVALID_WINDOW_HANDLE;
            SetLastError(0);
            return failed && lastError;
        };
        SetLastError(0);
        EXPECT_TRUE(refused(SetWindowTextA(window, "  Copying Zarquel.TXT") == FALSE));
        char text[16] = "kept";
        EXPECT_TRUE(refused(GetWindowTextA(window, text, sizeof text) == 0));
        EXPECT_STREQ(text, "");
        EXPECT_TRUE(refused(SendMessageA(window, WM_CLOSE, 0, 0) == 0));
        RECT rect = {1, 2, 3, 4};
        EXPECT_TRUE(refused(GetWindowRect(window, &rect) == FALSE));
        EXPECT_EQ(rect.left, 1);
        EXPECT_TRUE(refused(MoveWindow(window, 0, 0, 10, 10, FALSE) == FALSE));
        EXPECT_TRUE(refused(DestroyWindow(window) == FALSE));
        EXPECT_TRUE(refused(EndDialog(window, 1) == FALSE));
        EXPECT_TRUE(refused(GetDlgItem(window, StatusText) == nullptr));
        if (window != nullptr) {
            EXPECT_TRUE(refused(SetFocus(window) == nullptr));
        }
    }
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(TraceEvents().size(), eventsBefore);
}

TEST_F(WindowTest, AHandleStaysDeadWhenItsSlotIsReused)
{
    HWND first = Open("ShowBox");
    DestroyWindow(first);
    // Many more windows than the table holds at once, each destroyed again.
    std::vector<HWND> seen = {first};
    for (int i = 0; i < 3 * HostUi::MaxWindows; i++) {
        HWND dialog = CreateDialogParamA(nullptr, "ShowBox", nullptr, RecordingProc, 0);
        ASSERT_NE(dialog, nullptr) << "window " << i;
        for (HWND old : seen)
            ASSERT_NE(dialog, old);
        EXPECT_FALSE(IsWindow(first));
        DestroyWindow(dialog);
        seen.push_back(dialog);
    }
}

TEST_F(WindowTest, DeliversTextAndButtonMessages)
{
    HWND dialog = Open("SetupBox");
    HWND edit = GetDlgItem(dialog, DestFolderEdit);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\Data\\")), TRUE);
    char text[16];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "D:\\Data\\");

    // A click on a button is a command to its dialog, from the button.
    SendMessageA(cancel, BM_CLICK, 0, 0);
    // A dialog's own caption changes through its procedure's default handling.
    const char *caption = "Other caption";
    SetWindowTextA(dialog, caption);
    EXPECT_THAT(Messages, ElementsAre(Delivered{WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), Param(cancel)},
                                      Delivered{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption)}));
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Other caption");
    DestroyWindow(dialog);
}

TEST_F(WindowTest, AnUnhandledCloseRequestIsTheCancelCommand)
{
    HWND dialog = Open("SetupBox");
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    EXPECT_EQ(SendMessageA(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_THAT(Messages,
                ElementsAre(Delivered{WM_CLOSE, 0, 0},
                            Delivered{WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), Param(cancel)}));
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(dialog);

    // Without a Cancel button the command comes from no control.
    dialog = Open("ShowBox");
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_THAT(Messages, ElementsAre(Delivered{WM_CLOSE, 0, 0},
                                      Delivered{WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0}));
    DestroyWindow(dialog);

    // A procedure that handles it decides alone.
    HandleClose = true;
    dialog = Open("ShowBox");
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_THAT(Messages, ElementsAre(Delivered{WM_CLOSE, 0, 0}, Delivered{WmDestroy, 0, 0}));
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(WindowTest, TheLimitBoundsTypingButNotTheProgram)
{
    // The modal loop: the typed text is cut at the limit, a text set by the
    // program is not.
    static HWND dialogSeen;
    auto proc = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            dialogSeen = dialog;
            SendMessageA(GetDlgItem(dialog, DestFolderEdit), EM_LIMITTEXT, 8, 0);
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            char text[64];
            GetDlgItemTextA(dialog, DestFolderEdit, text, sizeof text);
            EndDialog(dialog, static_cast<INT_PTR>(strlen(text)));
            return TRUE;
        }
        return FALSE;
    };
    Answer("text C:\\A-much-longer-folder\nok\n");
    EXPECT_EQ(DialogBoxParamA(nullptr, "SetupBox", nullptr, proc, 0), 8);
    EXPECT_FALSE(IsWindow(dialogSeen));

    Answer("ok\n");
    auto setter = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SendMessageA(GetDlgItem(dialog, DestFolderEdit), EM_LIMITTEXT, 8, 0);
            SetDlgItemTextA(dialog, DestFolderEdit, "C:\\A-much-longer-folder");
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            char text[64];
            GetDlgItemTextA(dialog, DestFolderEdit, text, sizeof text);
            EndDialog(dialog, static_cast<INT_PTR>(strlen(text)));
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamA(nullptr, "SetupBox", nullptr, setter, 0), 23);
}

TEST_F(WindowTest, ComputesRectanglesFromDialogUnits)
{
    // SETUPBOX: MS Sans Serif 10 gives base units of 7 x 16 pixels, so
    // 186 x 90 units make a client area of 326 x 180 (186 * 7 / 4 = 325.5
    // rounds up); with a 3-pixel frame and a 19-pixel caption the window
    // is 332 x 205, its client area at the template's position 0, 0.
    InitResult = FALSE;
    HWND dialog = Open("SetupBox");
    RECT rect;
    ASSERT_TRUE(GetWindowRect(dialog, &rect));
    EXPECT_EQ(rect.left, -3);
    EXPECT_EQ(rect.top, -22);
    EXPECT_EQ(rect.right, 329);
    EXPECT_EQ(rect.bottom, 183);
    // The edit control: 4, 18, 178 x 12 units inside the client area.
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, DestFolderEdit), &rect));
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.top, 36);
    EXPECT_EQ(rect.right, 7 + 312);
    EXPECT_EQ(rect.bottom, 36 + 24);
    // Controls move with their dialog.
    ASSERT_TRUE(MoveWindow(dialog, 100, 50, 332, 205, FALSE));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, DestFolderEdit), &rect));
    EXPECT_EQ(rect.left, 100 + 3 + 7);
    EXPECT_EQ(rect.top, 50 + 22 + 36);
    DestroyWindow(dialog);

    // SHOWBOX has no font: the System font's 8 x 16. Client 320 x 20 at
    // 2, 12 units = 4, 24 pixels.
    dialog = Open("ShowBox");
    ASSERT_TRUE(GetWindowRect(dialog, &rect));
    EXPECT_EQ(rect.left, 4 - 3);
    EXPECT_EQ(rect.top, 24 - 22);
    EXPECT_EQ(rect.right - rect.left, 326);
    EXPECT_EQ(rect.bottom - rect.top, 45);
    DestroyWindow(dialog);

    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
    EXPECT_TRUE(IsWindow(GetDesktopWindow()));
}
