// Stand-ins for the file and process operations that the dialog procedures
// and the installer state reach besides the window operations. CreateDirectoryA
// keeps the rules that the destination dialog relies on: one level, a trailing
// backslash accepted, names without regard to case, 183 for an existing name,
// 3 for a missing parent or drive.
#include "StandIns.h"

#include "platform/WinApi.h"

#include <set>
#include <string.h>

namespace
{

DWORD LastError = 0;
std::set<std::string> Folders;
std::vector<std::string> Created;

std::string Key(std::string path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    for (char &c : path)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return path;
}

} // namespace

namespace StandIn
{

void Reset()
{
    Folders = {"C:", "D:"};
    Created.clear();
    LastError = 0;
}

void AddFolder(const std::string &path)
{
    Folders.insert(Key(path));
}

const std::vector<std::string> &CreatedFolders()
{
    return Created;
}

} // namespace StandIn

void WINAPI SetLastError(DWORD code)
{
    LastError = code;
}

DWORD WINAPI GetLastError()
{
    return LastError;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES)
{
    std::string key = Key(pathName);
    size_t slash = key.rfind('\\');
    if (Folders.count(key) != 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (slash == std::string::npos || Folders.count(key.substr(0, slash)) == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    Folders.insert(key);
    Created.push_back(pathName);
    return TRUE;
}

int WINAPI lstrlenA(LPCSTR text)
{
    return text == nullptr ? 0 : static_cast<int>(strlen(text));
}

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    if (size == 0)
        return 0;
    snprintf(fileName, size, "%s", "D:\\DISK1\\INSTALL.EXE");
    return static_cast<DWORD>(strlen(fileName));
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    if (size == 0)
        return 0;
    snprintf(buffer, size, "%s", "C:\\WINDOWS");
    return static_cast<UINT>(strlen(buffer));
}
