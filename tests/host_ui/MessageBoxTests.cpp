// Message boxes answered by scripted lines: the answer for each button set,
// the default button, the end of input, and what the box shows.
#include "Session.h"

#include "ui/MessageReporter.h"

namespace
{

class MessageBoxTest : public HostUiSession
{
};

const UINT ErrorInvalidMessageBoxStyle = 1438;

} // namespace

TEST_F(MessageBoxTest, AnswersByTheButtonNamed)
{
    struct Case {
        const char *what;
        UINT style;
        const char *lines;
        int answer;
    };
    const Case cases[] = {
        {"OK by name", MB_OK, "ok\n", IDOK},
        {"OK by Enter", MB_OK, "\n", IDOK},
        {"names in any case", MB_OKCANCEL, "CANCEL\n", IDCANCEL},
        {"Enter takes the first button", MB_OKCANCEL, "\n", IDOK},
        {"Enter takes the second button when it is the default",
         MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, "\n", IDRETRY},
        {"abort", MB_ABORTRETRYIGNORE, "abort\n", IDABORT},
        {"ignore", MB_ABORTRETRYIGNORE, "ignore\n", IDIGNORE},
        {"retry", MB_RETRYCANCEL, "retry\n", IDRETRY},
        {"yes", 4 /* MB_YESNO */, "yes\n", IDYES},
        {"no", 3 /* MB_YESNOCANCEL */, "no\n", IDNO},
        {"a button the box lacks is asked again", MB_OKCANCEL, "retry\ncancel\n", IDCANCEL},
        {"comments are skipped", MB_OKCANCEL, "# the question\ncancel\n", IDCANCEL},
        {"a line break from another system", MB_OKCANCEL, "cancel\r\n", IDCANCEL},
        {"the close box of a box with Cancel", MB_RETRYCANCEL, "close\n", IDCANCEL},
        {"the close box of an OK box", MB_OK, "close\n", IDOK},
        {"no close box: asked again", MB_ABORTRETRYIGNORE, "close\nignore\n", IDIGNORE},
        {"end of input with Cancel", MB_OKCANCEL, "", IDCANCEL},
        {"end of input with OK alone", MB_OK, "", IDOK},
        {"end of input without a close box", MB_ABORTRETRYIGNORE, "", 0},
        {"end of input without a close box, yes or no", 4, "", 0},
    };
    for (const Case &each : cases) {
        Answer(each.lines);
        EXPECT_EQ(MessageBoxA(nullptr, "Text", "CAPTION", each.style | MB_SYSTEMMODAL), each.answer)
            << each.what;
    }
}

TEST_F(MessageBoxTest, ShowsCaptionIconTextAndButtons)
{
    Answer("ok\n");
    EXPECT_EQ(ReportMessage(MakeMessageCode(MsgProceed, BtnOkCancel),
                            "A folder with that name already exists.\nUse that folder?"),
              IDOK);
    std::string shown = Transcript();
    EXPECT_NE(shown.find("- PROCEED? -"), std::string::npos) << shown;
    EXPECT_NE(shown.find("| (?) A folder with that name already exists."), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("|     Use that folder?"), std::string::npos) << shown;
    EXPECT_NE(shown.find("[ OK ]  [ Cancel ]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\n> ok\n"), std::string::npos) << shown;

    struct Case {
        MessageCode code;
        const char *caption;
        const char *icon;
    };
    const Case cases[] = {
        {0, "INFORMATION", "(i)"},
        {12, "WARNING", "(!)"},
        {16, "ERROR", "(X)"},
        {10, "INVALID INPUT", "(X)"},
    };
    for (const Case &each : cases) {
        Answer("\n");
        size_t before = Transcript().size();
        ReportMessage(each.code, "File %s is missing!", "Zarquel32.EXE");
        std::string box = Transcript().substr(before);
        EXPECT_NE(box.find(std::string("- ") + each.caption + " -"), std::string::npos) << box;
        EXPECT_NE(box.find(std::string("| ") + each.icon + " File Zarquel32.EXE is missing!"),
                  std::string::npos)
            << box;
    }
}

TEST_F(MessageBoxTest, ShowsWindows1252TextsInUtf8AndTakesUtf8Answers)
{
    // "Größe" and the euro sign are single bytes in the installer's texts.
    Answer("  \n"); // not an answer: blanks are no button
    int answer = MessageBoxA(nullptr,
                             "C:\\Zarquel Gr\xF6\xDF"
                             "e\\ \x80",
                             "\xC4NDERN?", MB_OK);
    std::string shown = Transcript();
    EXPECT_NE(shown.find("C:\\Zarquel Größe\\ €"), std::string::npos) << shown;
    EXPECT_NE(shown.find("- ÄNDERN? -"), std::string::npos) << shown;
    EXPECT_EQ(answer, IDOK); // the end of input after the refused line
}

TEST_F(MessageBoxTest, WrapsLongLinesAndRefusesUnknownStyles)
{
    std::string words;
    for (int i = 0; i < 30; i++)
        words += "word" + std::to_string(i) + " ";
    Answer("\n");
    MessageBoxA(nullptr, words.c_str(), "NOTICE", MB_OK);
    std::string shown = Transcript();
    for (int i = 0; i < 30; i++)
        EXPECT_NE(shown.find("word" + std::to_string(i) + " "), std::string::npos) << i;
    // Every line is at most the icon room, the wrap width and the frame.
    size_t start = 0;
    while (start < shown.size()) {
        size_t end = shown.find('\n', start);
        EXPECT_LE(end - start, 4u + 72u + 4u) << shown.substr(start, end - start);
        start = end + 1;
    }

    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "Text", "CAPTION", 7), 0);
    EXPECT_EQ(GetLastError(), ErrorInvalidMessageBoxStyle);
}
