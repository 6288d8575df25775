// The recording test double: a platform that records every call the installer
// makes, in order, with its arguments as they were at the moment of the call,
// and answers with the results a scenario scripts.
#pragma once

#include "platform/WinApi.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Double
{

// A step of the user in the destination dialog.
struct DialogAction {
    enum Kind { Type, Press } kind;
    std::string text; // Type: the new content of the folder field
    int id;           // Press: the command id (1 OK, 2 Cancel or the close box)
};
inline DialogAction Type(std::string text)
{
    return {DialogAction::Type, std::move(text), 0};
}
inline DialogAction Press(int id)
{
    return {DialogAction::Press, "", id};
}

struct Scenario {
    std::string moduleFileName = "D:\\DISK1\\INSTALL.EXE";
    std::string windowsDirectory = "C:\\WINDOWS";

    // Paths that do not open for reading (compared without regard to case).
    std::vector<std::string> missingFiles;
    // Target paths whose copy fails with access denied.
    std::vector<std::string> failingCopies;
    // CreateDirectoryA: the last-error code a path fails with, and that of every
    // other path (0: created).
    std::map<std::string, DWORD> directoryErrors;
    DWORD otherDirectoriesError = ERROR_SUCCESS;
    // Answers to the message boxes in turn; IDOK once they run out.
    std::deque<int> messageBoxAnswers;

    // The destination dialog: the real SetupBoxProc driven by these actions,
    // or, when runDialog is false, no procedure at all and this result.
    bool runDialog = true;
    std::vector<DialogAction> dialogActions = {Press(IDOK)};
    INT_PTR dialogResult = 1;
    bool progressWindowFails = false;

    RECT desktop = {0, 0, 640, 480};
    RECT setupBoxRect = {0, 0, 301, 150};
    RECT showBoxRect = {0, 0, 250, 40};

    // Component results in turn, S_OK once they run out; properties always answer this.
    std::deque<HRESULT> createInstanceResults;
    std::deque<HRESULT> queryInterfaceResults;
    std::deque<HRESULT> saveResults;
    HRESULT propertyResult = S_OK;
};

// The module instance that the tests hand to RunInstallation.
extern const HINSTANCE Module;

// Starts a scenario: the installer state back to its initial values, an empty
// call log, no windows, the last error 0.
void Start(const Scenario &scenario);

// Every call so far, as "Name(arguments)"; texts in double quotes with line
// breaks written \n, handles by the window they name ("SetupBox", "ShowBox.201").
const std::vector<std::string> &Calls();
// The calls whose text starts with `prefix`, in order.
std::vector<std::string> CallsTo(const std::string &prefix);

// Files opened by the presence probe and not closed again.
int OpenFiles();
// The last-error value of the thread.
DWORD LastError();
// Handle of a live window of the double ("SetupBox", "ShowBox", "SetupBox.101").
HWND Window(const std::string &name);
// The text a window or control shows now.
std::string WindowText(HWND window);
// The rectangle of a window now.
RECT WindowRect(HWND window);
// Makes a dialog window by hand for tests that call a procedure directly.
HWND MakeDialog(const std::string &name, DLGPROC procedure);

// For the fake component objects.
void Record(const std::string &call);
std::string Quote(const char *text);
std::string Quote(const WCHAR *text);
std::string GuidText(const GUID &guid);
HRESULT NextResult(std::deque<HRESULT> &results);
Scenario &Current();

} // namespace Double
