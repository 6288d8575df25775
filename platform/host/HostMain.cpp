// The host program's entry: remembers how it was started, so that its module
// file name is the path the user ran, and calls WinMain as Windows' start-up
// code does, with the command-line text after the program name.
#include "platform/WinApi.h"

#include "platform/host/HostModule.h"

#include <string.h>

int main(int argc, char **argv)
{
    RememberProgramPath(argc > 0 ? argv[0] : nullptr);

    // The installer ignores its command line; it is passed on all the same.
    static char commandLine[32768];
    size_t used = 0;
    for (int i = 1; i < argc; i++) {
        size_t length = strlen(argv[i]);
        if (used + length + 2 > sizeof commandLine)
            break;
        if (used > 0)
            commandLine[used++] = ' ';
        memcpy(commandLine + used, argv[i], length);
        used += length;
    }
    commandLine[used] = '\0';

    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
