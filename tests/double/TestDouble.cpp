#include "double/TestDouble.h"

#include "installer/InstallerState.h"
#include "platform/posix/Codepage.h"
#include "ui/SetupBox.h"
#include "ui/ShowBox.h"
#include "ui/resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <strings.h>

namespace Double
{

const HINSTANCE Module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));

namespace
{

struct FakeWindow {
    std::string name;
    HWND parent = nullptr;
    int id = 0;
    DLGPROC procedure = nullptr;
    RECT rect = {};
    std::string text;
    bool live = true;
    bool ended = false;
    INT_PTR endResult = 0;
};

struct OpenFile {
    std::string path;
    bool open;
};

Scenario current;
std::vector<std::string> calls;
std::deque<FakeWindow> windows; // a deque keeps every window at its address
std::deque<OpenFile> files;
DWORD lastError = 0;
int openFiles = 0;

FakeWindow *Find(HWND handle)
{
    for (FakeWindow &window : windows)
        if (reinterpret_cast<HWND>(&window) == handle)
            return &window;
    return nullptr;
}

FakeWindow *Live(HWND handle)
{
    FakeWindow *window = Find(handle);
    return window != nullptr && window->live ? window : nullptr;
}

HWND Make(const std::string &name, HWND parent, int id, DLGPROC procedure, RECT rect)
{
    FakeWindow window;
    window.name = name;
    window.parent = parent;
    window.id = id;
    window.procedure = procedure;
    window.rect = rect;
    windows.push_back(window);
    return reinterpret_cast<HWND>(&windows.back());
}

std::string Name(HWND handle)
{
    if (handle == nullptr)
        return "null";
    FakeWindow *window = Find(handle);
    return window != nullptr ? window->name : "unknown-window";
}

std::string ProcedureName(DLGPROC procedure)
{
    if (procedure == SetupBoxProc)
        return "SetupBoxProc";
    if (procedure == ShowBoxProc)
        return "ShowBoxProc";
    return procedure == nullptr ? "null" : "procedure";
}

std::string MessageName(UINT message)
{
    switch (message) {
    case WM_CLOSE:
        return "WM_CLOSE";
    case EM_LIMITTEXT:
        return "EM_LIMITTEXT";
    case WM_COMMAND:
        return "WM_COMMAND";
    }
    return std::to_string(message);
}

std::string Hex(unsigned value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", value);
    return text;
}

bool SamePath(const std::string &a, const std::string &b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool Listed(const std::vector<std::string> &paths, const char *path)
{
    for (const std::string &listed : paths)
        if (SamePath(listed, path))
            return true;
    return false;
}

// Windows copies at most size - 1 characters and a terminating zero.
void CopyOut(const std::string &text, char *buffer, size_t size)
{
    if (size == 0)
        return;
    size_t count = std::min(text.size(), size - 1);
    memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

HWND Child(HWND dialog, int id)
{
    FakeWindow *parent = Live(dialog);
    if (parent == nullptr)
        return nullptr;
    for (FakeWindow &window : windows)
        if (window.live && window.parent == dialog && window.id == id)
            return reinterpret_cast<HWND>(&window);
    return Make(parent->name + "." + std::to_string(id), dialog, id, nullptr, RECT{});
}

HWND CreateDialogWindow(LPCSTR templateName, DLGPROC procedure, LPARAM initParam)
{
    std::string name = strcasecmp(templateName, "SetupBox") == 0 ? "SetupBox" : "ShowBox";
    RECT rect = name == "SetupBox" ? current.setupBoxRect : current.showBoxRect;
    HWND dialog = Make(name, nullptr, 0, procedure, rect);
    procedure(dialog, WM_INITDIALOG, 0, initParam);
    return dialog;
}

void Destroy(HWND handle)
{
    for (FakeWindow &window : windows)
        if (window.parent == handle)
            window.live = false;
    if (FakeWindow *window = Find(handle))
        window->live = false;
}

} // namespace

void Start(const Scenario &scenario)
{
    current = scenario;
    calls.clear();
    windows.clear();
    files.clear();
    lastError = 0;
    openFiles = 0;
    InstallerState = InstallerStateRecord{};
    Make("desktop", nullptr, 0, nullptr, current.desktop);
}

Scenario &Current()
{
    return current;
}

const std::vector<std::string> &Calls()
{
    return calls;
}

std::vector<std::string> CallsTo(const std::string &prefix)
{
    std::vector<std::string> matching;
    for (const std::string &call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            matching.push_back(call);
    return matching;
}

int OpenFiles()
{
    return openFiles;
}

DWORD LastError()
{
    return lastError;
}

HWND Window(const std::string &name)
{
    for (FakeWindow &window : windows)
        if (window.live && window.name == name)
            return reinterpret_cast<HWND>(&window);
    return nullptr;
}

std::string WindowText(HWND window)
{
    FakeWindow *found = Find(window);
    return found != nullptr ? found->text : "";
}

RECT WindowRect(HWND window)
{
    FakeWindow *found = Find(window);
    return found != nullptr ? found->rect : RECT{};
}

HWND MakeDialog(const std::string &name, DLGPROC procedure)
{
    return Make(name, nullptr, 0, procedure,
                name == "ShowBox" ? current.showBoxRect : current.setupBoxRect);
}

void Record(const std::string &call)
{
    calls.push_back(call);
}

std::string Quote(const char *text)
{
    if (text == nullptr)
        return "null";
    std::string quoted = "\"";
    for (const char *c = text; *c != '\0'; c++) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '\n')
            quoted += "\\n";
        else if (byte == '\t')
            quoted += "\\t";
        else if (byte < 32)
            quoted += "\\x" + Hex(byte).substr(2);
        else
            quoted += static_cast<char>(byte);
    }
    return quoted + "\"";
}

std::string Quote(const WCHAR *text)
{
    if (text == nullptr)
        return "null";
    // Printed as UTF-8, so a test can write what it expects in plain text.
    std::string quoted = "L\"";
    for (const WCHAR *c = text; *c != 0; c++) {
        char utf8[4];
        quoted.append(utf8, EncodeUtf8(*c, utf8));
    }
    return quoted + "\"";
}

std::string GuidText(const GUID &guid)
{
    char text[40];
    snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
             guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
             guid.Data4[6], guid.Data4[7]);
    return text;
}

HRESULT NextResult(std::deque<HRESULT> &results)
{
    if (results.empty())
        return S_OK;
    HRESULT result = results.front();
    results.pop_front();
    return result;
}

} // namespace Double

using namespace Double;

// File and process services

HMODULE WINAPI GetModuleHandleA(LPCSTR)
{
    Record("GetModuleHandleA()");
    return Module;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    Record("GetModuleFileNameA(" + std::string(module == Module ? "module" : "other") + ", " +
           std::to_string(size) + ")");
    CopyOut(current.moduleFileName, fileName, size);
    return static_cast<DWORD>(std::min<size_t>(current.moduleFileName.size(), size));
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    Record("GetWindowsDirectoryA(" + std::to_string(size) + ")");
    const std::string &folder = current.windowsDirectory;
    if (folder.size() >= size) {
        // Too small: Windows answers the size needed and leaves the buffer undefined.
        memset(buffer, 'X', size);
        return static_cast<UINT>(folder.size() + 1);
    }
    CopyOut(folder, buffer, size);
    return static_cast<UINT>(folder.size());
}

void WINAPI SetLastError(DWORD code)
{
    Record("SetLastError(" + std::to_string(code) + ")");
    lastError = code;
}

DWORD WINAPI GetLastError()
{
    Record("GetLastError()");
    return lastError;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes)
{
    Record("CreateDirectoryA(" + Quote(path) + ", " + (attributes ? "attributes" : "null") + ")");
    DWORD error = current.otherDirectoriesError;
    for (const auto &[listed, listedError] : current.directoryErrors)
        if (SamePath(listed, path))
            error = listedError;
    if (error != ERROR_SUCCESS) {
        lastError = error;
        return FALSE;
    }
    // Success leaves the last error as it was, as on Windows.
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists)
{
    Record("CopyFileA(" + Quote(existing) + ", " + Quote(target) + ", " +
           std::to_string(failIfExists) + ")");
    if (Listed(current.failingCopies, target)) {
        lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    return TRUE;
}

int WINAPI lstrlenA(LPCSTR text)
{
    Record("lstrlenA(" + Quote(text) + ")");
    return text != nullptr ? static_cast<int>(strlen(text)) : 0;
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, LPWSTR wide,
                               int capacity)
{
    Record("MultiByteToWideChar(" + std::to_string(codePage) + ", " + std::to_string(flags) + ", " +
           Quote(text) + ", " + std::to_string(count) + ", " + std::to_string(capacity) + ")");
    size_t length = count < 0 ? strlen(text) + 1 : static_cast<size_t>(count);
    if (length > static_cast<size_t>(capacity)) {
        lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    for (size_t i = 0; i < length; i++)
        wide[i] = AnsiToUnicode(static_cast<unsigned char>(text[i]));
    return static_cast<int>(length);
}

FILE *OpenForReading(const char *path)
{
    Record("OpenForReading(" + Quote(path) + ")");
    if (Listed(current.missingFiles, path))
        return nullptr;
    files.push_back({path, true});
    openFiles++;
    return reinterpret_cast<FILE *>(&files.back());
}

void CloseFile(FILE *file)
{
    OpenFile *open = reinterpret_cast<OpenFile *>(file);
    Record("CloseFile(" + Quote(open->path.c_str()) + ")");
    EXPECT_TRUE(open->open) << "closed twice: " << open->path;
    open->open = false;
    openFiles--;
}

// Window and dialog services

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC procedure, LPARAM initParam)
{
    Record("DialogBoxParamA(" + std::string(instance == Module ? "module" : "other") + ", " +
           Quote(templateName) + ", " + Name(owner) + ", " + ProcedureName(procedure) + ", " +
           std::to_string(initParam) + ")");
    if (!current.runDialog)
        return current.dialogResult;

    HWND dialog = CreateDialogWindow(templateName, procedure, initParam);
    for (const DialogAction &action : current.dialogActions) {
        if (action.kind == DialogAction::Type) {
            Record("> type " + Quote(action.text.c_str()));
            Find(Child(dialog, DestFolderEdit))->text = action.text;
            continue;
        }
        Record("> press " + std::to_string(action.id));
        procedure(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(action.id), 0), 0);
        FakeWindow *window = Find(dialog);
        if (window->ended) {
            Destroy(dialog);
            return window->endResult;
        }
    }
    ADD_FAILURE() << "the destination dialog is still open when the user's actions run out";
    return 0;
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC procedure, LPARAM initParam)
{
    Record("CreateDialogParamA(" + std::string(instance == Module ? "module" : "other") + ", " +
           Quote(templateName) + ", " + Name(owner) + ", " + ProcedureName(procedure) + ", " +
           std::to_string(initParam) + ")");
    if (current.progressWindowFails)
        return nullptr;
    return CreateDialogWindow(templateName, procedure, initParam);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Record("EndDialog(" + Name(dialog) + ", " + std::to_string(result) + ")");
    FakeWindow *window = Live(dialog);
    if (window == nullptr)
        return FALSE;
    window->ended = true;
    window->endResult = result;
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND handle)
{
    Record("DestroyWindow(" + Name(handle) + ")");
    if (Live(handle) == nullptr)
        return FALSE;
    Destroy(handle);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Record("SendMessageA(" + Name(handle) + ", " + MessageName(message) + ", " +
           std::to_string(wParam) + ", " + std::to_string(lParam) + ")");
    FakeWindow *window = Live(handle);
    if (window == nullptr || window->procedure == nullptr)
        return 0; // a vanished window, or a control the double does not model
    return window->procedure(handle, message, wParam, lParam);
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    Record("GetDlgItem(" + Name(dialog) + ", " + std::to_string(id) + ")");
    return Child(dialog, id);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size)
{
    Record("GetDlgItemTextA(" + Name(dialog) + ", " + std::to_string(id) + ", " +
           std::to_string(size) + ")");
    HWND control = Child(dialog, id);
    std::string content = control != nullptr ? Find(control)->text : "";
    CopyOut(content, text, static_cast<size_t>(size));
    return static_cast<UINT>(strlen(text));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    Record("SetDlgItemTextA(" + Name(dialog) + ", " + std::to_string(id) + ", " + Quote(text) +
           ")");
    HWND control = Child(dialog, id);
    if (control == nullptr)
        return FALSE;
    Find(control)->text = text;
    return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text)
{
    Record("SetWindowTextA(" + Name(handle) + ", " + Quote(text) + ")");
    FakeWindow *window = Live(handle);
    if (window == nullptr)
        return FALSE;
    window->text = text;
    return TRUE;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int size)
{
    Record("GetWindowTextA(" + Name(handle) + ", " + std::to_string(size) + ")");
    FakeWindow *window = Live(handle);
    CopyOut(window != nullptr ? window->text : "", text, static_cast<size_t>(size));
    return static_cast<int>(strlen(text));
}

HWND WINAPI SetFocus(HWND handle)
{
    Record("SetFocus(" + Name(handle) + ")");
    return nullptr;
}

BOOL WINAPI IsWindow(HWND handle)
{
    Record("IsWindow(" + Name(handle) + ")");
    return Live(handle) != nullptr;
}

HWND WINAPI GetDesktopWindow()
{
    Record("GetDesktopWindow()");
    return Window("desktop");
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect)
{
    Record("GetWindowRect(" + Name(handle) + ")");
    FakeWindow *window = Live(handle);
    if (window == nullptr)
        return FALSE;
    *rect = window->rect;
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    Record("MoveWindow(" + Name(handle) + ", " + std::to_string(x) + ", " + std::to_string(y) +
           ", " + std::to_string(width) + ", " + std::to_string(height) + ", " +
           std::to_string(repaint) + ")");
    FakeWindow *window = Live(handle);
    if (window == nullptr)
        return FALSE;
    window->rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Record("MessageBoxA(" + Name(owner) + ", " + Quote(text) + ", " + Quote(caption) + ", " +
           Hex(style) + ")");
    if (current.messageBoxAnswers.empty())
        return IDOK;
    int answer = current.messageBoxAnswers.front();
    current.messageBoxAnswers.pop_front();
    return answer;
}

HRESULT WINAPI CoInitialize(LPVOID reserved)
{
    Record(std::string("CoInitialize(") + (reserved ? "reserved" : "null") + ")");
    return S_OK;
}
