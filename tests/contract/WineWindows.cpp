// The Windows build: Wine's ntdll exports wine_get_version, Windows' does not.
#include "tests/contract/Wine.h"

#include <windows.h>

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
