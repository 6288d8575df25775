// The program's start: what Windows runs first. The installer has no static
// constructors, no threads and no use for the C runtime's argument vectors,
// so its start is only this: find the command-line text after the program
// name, call WinMain, and end the process through the C runtime's exit, which
// flushes and closes what the runtime holds before the process ends.
#include "platform/WinApi.h"

#include <stdlib.h>

namespace
{

// The text after the program's name, as Windows' start-up code hands it to
// WinMain: the name ends at the closing quote when it is quoted, otherwise at
// the first blank; the blanks after it are skipped.
LPSTR TextAfterProgramName(LPSTR commandLine)
{
    char *c = commandLine;
    if (*c == '"') {
        for (c++; *c && *c != '"'; c++) {
        }
        if (*c == '"')
            c++;
    } else {
        while (static_cast<unsigned char>(*c) > ' ')
            c++;
    }
    while (*c && static_cast<unsigned char>(*c) <= ' ')
        c++;
    return c;
}

} // namespace

// Windows calls the entry with a stack aligned to 4 bytes only; the compiler
// realigns it here for the code that follows.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup()
{
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, TextAfterProgramName(GetCommandLineA()),
                 SW_SHOWDEFAULT));
}
