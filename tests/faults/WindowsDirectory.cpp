// The host installer with a Windows directory that the test chooses: the
// host platform's own is always C:\WINDOWS. The program is linked with
// --wrap for GetWindowsDirectoryA, so that the installer's call lands here;
// $ZARQUEL_FAULT_WINDOWS_DIRECTORY names the directory (ASCII), and without
// it the platform's own answer stands.
#include "platform/WinApi.h"

#include <stdlib.h>
#include <string.h>

UINT WINAPI RealGetWindowsDirectoryA(LPSTR buffer,
                                     UINT size) asm("__real__Z20GetWindowsDirectoryAPcj");
UINT WINAPI ChosenGetWindowsDirectoryA(LPSTR buffer,
                                       UINT size) asm("__wrap__Z20GetWindowsDirectoryAPcj");

UINT WINAPI ChosenGetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    const char *chosen = getenv("ZARQUEL_FAULT_WINDOWS_DIRECTORY");
    if (!chosen)
        return RealGetWindowsDirectoryA(buffer, size);
    // As Windows answers: the room needed, terminator included, when the
    // buffer is too small; otherwise the length copied.
    UINT length = static_cast<UINT>(strlen(chosen));
    if (!buffer || size <= length)
        return length + 1;
    memcpy(buffer, chosen, length + 1);
    return length;
}
