// The terminal front end on a pseudo-terminal: the destination dialog and the
// closing message box answered by keys, as a user at a terminal answers them,
// and the terminal's modes as they were before once the dialog is over.
#include "StandIns.h"

#include "installer/InstallerState.h"
#include "platform/host/ui/Terminal.h"
#include "platform/host/ui/Trace.h"
#include "ui/SetupBox.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <poll.h>
#include <pty.h>
#include <string.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace
{

// What the child reports in its exit status.
const int Accepted = 1;   // the dialog ended with 1
const int AnsweredOk = 2; // the closing box was answered with OK
const int ModesKept = 4;  // the terminal's modes are those from before
const int FolderAsWanted = 8;

// The child: the real SetupBoxProc on the terminal, then the closing box.
[[noreturn]] void RunOnTerminal(const char *wantedFolder)
{
    TerminalUseStreams(stdin, stdout);
    TraceUseFile(nullptr);
    StandIn::Reset();
    InstallerState = InstallerStateRecord();
    strcpy(InstallerState.ProgramsFolder, "C:\\WINDOWS\\Start Menu\\Programs\\");
    termios before;
    tcgetattr(STDIN_FILENO, &before);

    int status = 0;
    if (DialogBoxParamA(nullptr, "SetupBox", nullptr, SetupBoxProc, 0) == 1) {
        status |= Accepted;
        if (MessageBoxA(nullptr, "Installation of the Zarquel software has finished.\n",
                        "INFORMATION", MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL) == IDOK)
            status |= AnsweredOk;
    }
    termios after;
    tcgetattr(STDIN_FILENO, &after);
    if (after.c_lflag == before.c_lflag && after.c_iflag == before.c_iflag &&
        after.c_oflag == before.c_oflag && memcmp(after.c_cc, before.c_cc, sizeof after.c_cc) == 0)
        status |= ModesKept;
    if (strcmp(InstallerState.DestFolder, wantedFolder) == 0)
        status |= FolderAsWanted;
    fflush(stdout);
    _exit(status);
}

class PseudoTerminal
{
  public:
    explicit PseudoTerminal(const char *wantedFolder)
    {
        winsize size = {30, 100, 0, 0};
        child_ = forkpty(&master_, nullptr, nullptr, &size);
        if (child_ == 0)
            RunOnTerminal(wantedFolder);
    }
    ~PseudoTerminal()
    {
        if (master_ >= 0)
            close(master_);
        if (child_ > 0 && !exited_) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
    }
    bool Started() const { return child_ > 0; }

    // Reads what the child draws until `text` has appeared since the last
    // wait. A child that stops drawing for long has hung: false.
    bool WaitFor(const std::string &text)
    {
        for (;;) {
            size_t found = screen_.find(text, searched_);
            if (found != std::string::npos) {
                searched_ = found + text.size();
                return true;
            }
            if (!ReadSome())
                return false;
        }
    }

    void Type(const std::string &keys)
    {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), ssize_t(keys.size()));
    }

    // Reads to the end and gives the child's exit status.
    int Finish()
    {
        while (ReadSome()) {
        }
        int status = 0;
        waitpid(child_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string &Screen() const { return screen_; }

  private:
    bool ReadSome()
    {
        pollfd ready = {master_, POLLIN, 0};
        // A guard against a hung child only; nothing is measured.
        if (poll(&ready, 1, 20000) <= 0)
            return false;
        char buffer[4096];
        ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0)
            return false; // EIO once the child has closed the terminal
        screen_.append(buffer, static_cast<size_t>(got));
        return true;
    }

    int master_ = -1;
    pid_t child_ = -1;
    bool exited_ = false;
    std::string screen_;
    size_t searched_ = 0;
};

} // namespace

TEST(TerminalFrontEnd, EnterAcceptsTheDefaultFolderAndTheClosingBox)
{
    PseudoTerminal terminal("C:\\Zarquel\\");
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.WaitFor("[>OK<]")) << terminal.Screen();
    EXPECT_NE(terminal.Screen().find("[C:\\Zarquel\\"), std::string::npos) << terminal.Screen();
    terminal.Type("\r");
    ASSERT_TRUE(terminal.WaitFor("- INFORMATION -")) << terminal.Screen();
    ASSERT_TRUE(terminal.WaitFor("[>OK<]")) << terminal.Screen();
    terminal.Type("\r");
    EXPECT_EQ(terminal.Finish(), Accepted | AnsweredOk | ModesKept | FolderAsWanted)
        << terminal.Screen();
}

TEST(TerminalFrontEnd, EditsTheFolderInPlace)
{
    PseudoTerminal terminal("D:\\Gr\xF6sse\\");
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.WaitFor("[>OK<]")) << terminal.Screen();
    // Ctrl-U clears the field before the cursor; "ö" arrives in UTF-8; the
    // arrow keys and Delete correct a typing error.
    terminal.Type("\x15"
                  "D:\\Gr\xC3\xB6sxse");
    ASSERT_TRUE(terminal.WaitFor("Gr\xC3\xB6sxse")) << terminal.Screen();
    terminal.Type("\x1b[D\x1b[D\x1b[D");
    terminal.Type("\x1b[3~");
    terminal.Type("\x1b[F\r");
    ASSERT_TRUE(terminal.WaitFor("- INFORMATION -")) << terminal.Screen();
    ASSERT_TRUE(terminal.WaitFor("[>OK<]")) << terminal.Screen();
    terminal.Type("o");
    EXPECT_EQ(terminal.Finish(), Accepted | AnsweredOk | ModesKept | FolderAsWanted)
        << terminal.Screen();
}

TEST(TerminalFrontEnd, EscapeAndTheEndOfInputCancel)
{
    for (const char *key : {"\x1b", "\x03", "\x04"}) {
        PseudoTerminal terminal("C:\\Zarquel\\");
        ASSERT_TRUE(terminal.Started());
        ASSERT_TRUE(terminal.WaitFor("[>OK<]")) << terminal.Screen();
        terminal.Type(key);
        EXPECT_EQ(terminal.Finish(), ModesKept | FolderAsWanted) << "key " << int(key[0]) << "\n"
                                                                 << terminal.Screen();
    }
}
