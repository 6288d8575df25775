#include "Session.h"

#include "StandIns.h"
#include "installer/InstallerState.h"
#include "platform/host/ui/Terminal.h"
#include "platform/host/ui/Trace.h"
#include "platform/host/ui/WindowTable.h"

#include <fstream>
#include <unistd.h>

void HostUiSession::SetUp()
{
    InstallerState = InstallerStateRecord();
    StandIn::Reset();
    SetFocus(nullptr);
    static int sessions = 0;
    tracePath_ = testing::TempDir() + "host_ui_trace_" + std::to_string(getpid()) + "_" +
                 std::to_string(++sessions) + ".jsonl";
    TraceUseFile(tracePath_.c_str());
    Answer("");
}

void HostUiSession::TearDown()
{
    // A window that a failed test left open does not reach the next test.
    for (int i = 0; i < HostUi::MaxWindows; i++)
        if (HostUi::WindowTable[i].kind == HostUi::DialogKind)
            DestroyWindow(HostUi::HandleOf(i));
    TraceUseFile(nullptr);
    unlink(tracePath_.c_str());
    static FILE *nothingIn = fopen("/dev/null", "r");
    static FILE *nothingOut = fopen("/dev/null", "w");
    TerminalUseStreams(nothingIn, nothingOut);
    if (input_ != nullptr)
        fclose(input_);
    if (output_ != nullptr)
        fclose(output_);
    free(outputBuffer_);
    input_ = output_ = nullptr;
    outputBuffer_ = nullptr;
}

void HostUiSession::Answer(const std::string &lines)
{
    if (input_ != nullptr)
        fclose(input_);
    input_ = tmpfile();
    ASSERT_NE(input_, nullptr);
    fwrite(lines.data(), 1, lines.size(), input_);
    rewind(input_);
    if (output_ == nullptr)
        output_ = open_memstream(&outputBuffer_, &outputSize_);
    ASSERT_NE(output_, nullptr);
    TerminalUseStreams(input_, output_);
}

std::string HostUiSession::Transcript()
{
    fflush(output_);
    return std::string(outputBuffer_, outputSize_);
}

std::vector<JsonValue> HostUiSession::TraceEvents()
{
    std::vector<JsonValue> events;
    std::ifstream file(tracePath_);
    std::string line;
    while (std::getline(file, line)) {
        JsonValue event;
        std::string error;
        EXPECT_TRUE(ParseJson(line, &event, &error)) << error << " in: " << line;
        EXPECT_EQ(event.type, JsonValue::Object) << line;
        EXPECT_NE(event.Text("event"), "") << line;
        events.push_back(event);
    }
    return events;
}

std::vector<JsonValue> HostUiSession::TraceEvents(const std::string &event)
{
    std::vector<JsonValue> chosen;
    for (const JsonValue &each : TraceEvents())
        if (each.Text("event") == event)
            chosen.push_back(each);
    return chosen;
}
