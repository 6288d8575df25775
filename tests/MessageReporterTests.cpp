// Message codes, formatting and the box that ReportMessage shows.
#include "double/TestDouble.h"
#include "ui/MessageReporter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::ElementsAre;

TEST(ReportMessage, DecodesCaptionIconButtonsAndDefaultFromTheCode)
{
    const struct {
        MessageCode code;
        const char *caption;
        const char *style;
    } cases[] = {
        {0, "INFORMATION", "0x1040"},    // information icon, OK
        {25, "PROCEED?", "0x1021"},      // question icon, OK and Cancel
        {3, "INFORMATION", "0x1142"},    // Abort, Retry, Ignore with Retry as default
        {10, "INVALID INPUT", "0x1015"}, // error icon, Retry and Cancel
        {12, "WARNING", "0x1030"},       {16, "ERROR", "0x1010"},
        {20, "FATAL ERROR", "0x1010"},   {4, "NOTICE", "0x1040"},
    };
    for (const auto &c : cases) {
        Double::Start({});
        ReportMessage(c.code, "Text");
        EXPECT_THAT(Double::Calls(), ElementsAre("lstrlenA(\"Text\")",
                                                 std::string("MessageBoxA(null, \"Text\", \"") +
                                                     c.caption + "\", " + c.style + ")"))
            << "code " << c.code;
    }
}

TEST(ReportMessage, ReturnsTheButtonUnchanged)
{
    for (int answer : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, 0}) {
        Double::Scenario scenario;
        scenario.messageBoxAnswers = {answer};
        Double::Start(scenario);
        EXPECT_EQ(ReportMessage(MakeMessageCode(MsgProceed, BtnOkCancel), "Go on?"), answer);
    }
}

TEST(ReportMessage, FormatsTheValuesIntoTheText)
{
    Double::Start({});
    ReportMessage(MakeMessageCode(MsgWarning, BtnOk), "File %s is missing!", "Zarquel32.EXE");
    EXPECT_THAT(Double::CallsTo("MessageBoxA"),
                ElementsAre("MessageBoxA(null, \"File Zarquel32.EXE is missing!\", \"WARNING\", "
                            "0x1030)"));
    EXPECT_STREQ(LastMessageText, "File Zarquel32.EXE is missing!");
}

TEST(ReportMessage, FormatsUpTo512BytesAndShowsLongerFormatsVerbatim)
{
    const std::string format512 = std::string(510, 'a') + "%s";
    const std::string format513 = std::string(511, 'a') + "%s";

    Double::Start({});
    ReportMessage(0, format512.c_str(), "VALUE");
    EXPECT_EQ(std::string(LastMessageText), std::string(510, 'a') + "VALUE");

    ReportMessage(0, format513.c_str(), "VALUE");
    EXPECT_EQ(LastMessageText, format513.c_str()) << "the format itself is shown";
    EXPECT_EQ(std::string(LastMessageText), format513);
}

TEST(ReportMessage, AFormattedTextLongerThanItsBufferIsCutNotOverrun)
{
    const std::string value(3000, 'v');
    Double::Start({});
    ReportMessage(MakeMessageCode(MsgError, BtnOk), "Folder:\n%s", value.c_str());
    EXPECT_EQ(std::string(LastMessageText), "Folder:\n" + value.substr(0, 1023 - 8));
}
