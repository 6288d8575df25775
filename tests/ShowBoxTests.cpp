// The progress window's procedure and the centring of both dialogs.
#include "double/TestDouble.h"
#include "installer/InstallerState.h"
#include "ui/CenterOnDesktop.h"
#include "ui/ShowBox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::ElementsAre;
using testing::IsEmpty;

TEST(ShowBox, OpensCentredAndPublishesItsStatusControl)
{
    Double::Start({});
    HWND window = Double::MakeDialog("ShowBox", ShowBoxProc);

    EXPECT_EQ(ShowBoxProc(window, WM_INITDIALOG, 0, 0), 1);

    EXPECT_THAT(Double::Calls(),
                ElementsAre("GetWindowRect(ShowBox)", "GetDesktopWindow()",
                            "GetWindowRect(desktop)", "MoveWindow(ShowBox, 195, 220, 250, 40, 0)",
                            "SetWindowTextA(ShowBox, \"Zarquel Software Installation Status\")",
                            "GetDlgItem(ShowBox, 201)",
                            "SetWindowTextA(ShowBox.201, \"  Please wait...\")"));
    EXPECT_EQ(InstallerState.StatusLine, Double::Window("ShowBox.201"));
}

TEST(ShowBox, CloseDestroysTheWindowAndForgetsTheStatusControl)
{
    Double::Start({});
    HWND window = Double::MakeDialog("ShowBox", ShowBoxProc);
    ShowBoxProc(window, WM_INITDIALOG, 0, 0);
    size_t opened = Double::Calls().size();

    EXPECT_EQ(ShowBoxProc(window, WM_CLOSE, 0, 0), 1);

    EXPECT_THAT(std::vector<std::string>(Double::Calls().begin() + static_cast<long>(opened),
                                         Double::Calls().end()),
                ElementsAre("DestroyWindow(ShowBox)"));
    EXPECT_EQ(InstallerState.StatusLine, nullptr);
    EXPECT_EQ(Double::Window("ShowBox"), nullptr);
}

TEST(ShowBox, LeavesOtherMessagesToThePlatform)
{
    Double::Start({});
    HWND window = Double::MakeDialog("ShowBox", ShowBoxProc);
    for (UINT message : {WM_COMMAND, WM_SETTEXT, EM_LIMITTEXT})
        EXPECT_EQ(ShowBoxProc(window, message, IDOK, 0), 0) << message;
    EXPECT_THAT(Double::Calls(), IsEmpty());
}

TEST(CenterOnDesktop, CentresKeepingTheSizeWithHalvesRoundedTowardZero)
{
    const struct {
        RECT desktop;
        RECT window;
        const char *move;
    } cases[] = {
        {{0, 0, 640, 480}, {0, 0, 301, 150}, "MoveWindow(SetupBox, 169, 165, 301, 150, 0)"},
        // Wider than the desktop: half of -5 is -2, not -3.
        {{0, 0, 640, 480}, {10, 10, 655, 160}, "MoveWindow(SetupBox, -2, 165, 645, 150, 0)"},
        {{0, 0, 640, 480}, {0, 0, 640, 485}, "MoveWindow(SetupBox, 0, -2, 640, 485, 0)"},
        // A desktop that does not start at the origin.
        {{100, 50, 740, 530}, {0, 0, 300, 150}, "MoveWindow(SetupBox, 270, 215, 300, 150, 0)"},
        {{-1024, 0, 0, 768}, {5, 5, 105, 55}, "MoveWindow(SetupBox, -562, 359, 100, 50, 0)"},
    };
    for (const auto &c : cases) {
        Double::Scenario scenario;
        scenario.desktop = c.desktop;
        scenario.setupBoxRect = c.window;
        Double::Start(scenario);

        CenterOnDesktop(Double::MakeDialog("SetupBox", nullptr));

        EXPECT_THAT(Double::CallsTo("MoveWindow"), ElementsAre(c.move));
    }
}
