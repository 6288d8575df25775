// The process entry: the platform's start-up code calls WinMain, which runs the
// installation once and makes its result the exit status.
#include "installer/Installation.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return RunInstallation(instance, nullptr, commandLine, SW_SHOWDEFAULT);
}
