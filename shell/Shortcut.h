// Writes a Start Menu shortcut through the shell's link object.
#pragma once

#include "platform/WinApi.h"

// Expects the component library to be initialised on this thread.
HRESULT CreateShortcut(const char *targetPath, const char *workingFolder, const char *linkPath,
                       const char *description);
