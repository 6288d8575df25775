#include "installer/InstallerState.h"

#include "installer/PathText.h"

#include <string.h>

InstallerStateRecord InstallerState;

void DeriveSetupFolder(HINSTANCE instance)
{
    char *folder = InstallerState.SetupFolder;
    GetModuleFileNameA(instance, folder, PathRoom);
    // Whatever the call left, the text ends within the field.
    folder[PathRoom - 1] = '\0';

    // Keep everything up to the last backslash or colon; the walk is byte by byte.
    size_t length = strlen(folder);
    while (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != ':')
        folder[--length] = '\0';
}

void DeriveProgramsFolder()
{
    char *folder = InstallerState.ProgramsFolder;
    // The narrower limit keeps room for the 21 characters appended below.
    GetWindowsDirectoryA(folder, 240);
    folder[239] = '\0';
    ComposeText(InstallerState.ProgramsFolder, folder, "\\Start Menu\\Programs\\");
}
