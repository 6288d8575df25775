// ZARQUEL_TRACE: every line a JSON object, the events of a dialog session in
// order, texts escaped and in UTF-8.
#include "Session.h"
#include "StandIns.h"

#include "installer/InstallerState.h"
#include "ui/SetupBox.h"
#include "ui/ShowBox.h"
#include "ui/resources/ResourceIds.h"

#include <gmock/gmock.h>

#include <fstream>

using testing::ElementsAre;

namespace
{

class TraceTest : public HostUiSession
{
};

std::string Summary(const JsonValue &event, long long firstWindow);

// The events in short: each with its kind and the fields that tell it apart;
// windows are numbered from the first in the trace, "w1".
std::vector<std::string> Summaries(const std::vector<JsonValue> &events)
{
    long long first = -1;
    std::vector<std::string> summaries;
    for (const JsonValue &event : events) {
        if (first < 0 && event.Find("window") != nullptr)
            first = event.Integer("window");
        summaries.push_back(Summary(event, first));
    }
    return summaries;
}

std::string Summary(const JsonValue &event, long long firstWindow)
{
    std::string kind = event.Text("event");
    std::string summary = kind;
    if (event.Find("window") != nullptr)
        summary += " w" + std::to_string(event.Integer("window") - firstWindow + 1);
    if (event.Find("control") != nullptr)
        summary += " c" + std::to_string(event.Integer("control"));
    if (kind == "text" || kind == "input" || kind == "status")
        summary += " \"" + event.Text("text") + "\"";
    if (kind == "messagebox")
        summary += " " + event.Text("caption") + " " + std::to_string(event.Integer("style")) +
                   " -> " + std::to_string(event.Integer("answer"));
    if (kind == "end")
        summary += " = " + std::to_string(event.Integer("value"));
    if (kind == "window")
        summary += " " + event.Text("template");
    return summary;
}

} // namespace

TEST_F(TraceTest, RecordsADialogSessionInOrder)
{
    StandIn::AddFolder("D:\\Data");
    strcpy(InstallerState.ProgramsFolder, "C:\\WINDOWS\\Start Menu\\Programs\\");
    Answer("text D:\\Data\nok\nok\n");
    ASSERT_EQ(DialogBoxParamA(nullptr, "SetupBox", nullptr, SetupBoxProc, 0), 1);

    std::vector<std::string> events = Summaries(TraceEvents());
    EXPECT_THAT(events,
                ElementsAre("text w1 c101 \"C:\\Zarquel\\\"",
                            "text w1 c102 \"C:\\WINDOWS\\Start Menu\\Programs\\\"",
                            "window w1 SETUPBOX", "input w1 c101 \"D:\\Data\"", "command w1 c1",
                            "messagebox PROCEED? 4129 -> 1", "end w1 = 1", "destroy w1"));

    const JsonValue window = TraceEvents("window").at(0);
    EXPECT_TRUE(window.Find("modal")->boolean);
    const JsonValue *controls = window.Find("controls");
    ASSERT_NE(controls, nullptr);
    ASSERT_EQ(controls->items.size(), 6u);
    EXPECT_EQ(controls->items[1].Integer("control"), DestFolderEdit);
    EXPECT_EQ(controls->items[1].Text("class"), "edit");
    EXPECT_EQ(controls->items[1].Text("text"), "C:\\Zarquel\\");
    EXPECT_EQ(controls->items[5].Text("class"), "button");
    EXPECT_EQ(controls->items[5].Text("text"), "Cancel");

    const JsonValue box = TraceEvents("messagebox").at(0);
    EXPECT_EQ(box.Text("text"), "A folder with that name already exists.\nUse that folder?");
    const JsonValue *buttons = box.Find("buttons");
    ASSERT_NE(buttons, nullptr);
    ASSERT_EQ(buttons->items.size(), 2u);
    EXPECT_EQ(buttons->items[0].text, "OK");
    EXPECT_EQ(buttons->items[1].text, "Cancel");
}

TEST_F(TraceTest, RecordsTheProgressWindowsStatusLine)
{
    HWND window = CreateDialogParamA(nullptr, "ShowBox", nullptr, ShowBoxProc, 0);
    ASSERT_NE(window, nullptr);
    SetWindowTextA(InstallerState.StatusLine, "  Copying Zarquel.TXT");
    SendMessageA(window, WM_CLOSE, 0, 0);

    std::vector<std::string> events = Summaries(TraceEvents());
    EXPECT_THAT(events, ElementsAre("text w1 \"Zarquel Software Installation Status\"",
                                    "status w1 c201 \"  Please wait...\"", "window w1 SHOWBOX",
                                    "status w1 c201 \"  Copying Zarquel.TXT\"", "destroy w1"));
    EXPECT_FALSE(TraceEvents("window").at(0).Find("modal")->boolean);
}

TEST_F(TraceTest, EscapesTextsAndWritesThemInUtf8)
{
    struct Case {
        const char *ansi;
        const char *utf8;
    };
    const Case cases[] = {
        {"quote \" and backslash \\", "quote \" and backslash \\"},
        {"line\nbreak, tab\t, return\r", "line\nbreak, tab\t, return\r"},
        {"controls \x01\x1f and \x7f", "controls \x01\x1f and \x7f"},
        {"Gr\xF6\xDF"
         "e \x80 \x9F \xFF",
         "Größe € Ÿ ÿ"},
        {"undefined \x81 \x8D", "undefined \xC2\x81 \xC2\x8D"},
        {"", ""},
    };
    HWND window = CreateDialogParamA(nullptr, "ShowBox", nullptr, nullptr, 0);
    ASSERT_NE(window, nullptr);
    HWND status = GetDlgItem(window, StatusText);
    for (const Case &each : cases) {
        SetWindowTextA(status, each.ansi);
        EXPECT_EQ(TraceEvents().back().Text("text"), each.utf8) << each.ansi;
    }
    DestroyWindow(window);

    // The raw lines hold no control character and name the escapes.
    std::ifstream file(TracePath());
    std::string all{std::istreambuf_iterator<char>(file), {}};
    for (size_t i = 0; i < all.size(); i++) {
        if (static_cast<unsigned char>(all[i]) < 0x20) {
            EXPECT_EQ(all[i], '\n') << "at " << i;
        }
    }
    EXPECT_NE(all.find("\\u0001\\u001f"), std::string::npos);
    EXPECT_NE(all.find("line\\nbreak, tab\\t, return\\r"), std::string::npos);
}

TEST_F(TraceTest, RecordsMessageBoxesAndTheirAnswers)
{
    Answer("retry\n\n");
    MessageBoxA(nullptr, "Disk \"2\"\nnot found", "WARNING", MB_RETRYCANCEL | MB_ICONWARNING);
    MessageBoxA(nullptr, "Done.", "INFORMATION", MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
    std::vector<JsonValue> boxes = TraceEvents("messagebox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text("caption"), "WARNING");
    EXPECT_EQ(boxes[0].Text("text"), "Disk \"2\"\nnot found");
    EXPECT_EQ(boxes[0].Integer("style"), 0x35);
    EXPECT_EQ(boxes[0].Integer("answer"), IDRETRY);
    EXPECT_EQ(boxes[1].Integer("style"), 0x1040);
    EXPECT_EQ(boxes[1].Integer("answer"), IDOK);
}
