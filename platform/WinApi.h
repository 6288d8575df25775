// The one header through which the installer reaches its platform: the Windows
// operations it calls, under their Windows names, and the presence probe.
//
// Which declarations stand behind it is chosen by the build: the real Windows
// headers for the Windows programs, our own declarations (platform/posix) for
// the host build and the unit tests.
#pragma once

#include "PlatformDeclarations.h"

#include <stdint.h>
#include <stdio.h>

// The presence test: opens a file for reading in binary mode, as fopen(path, "rb")
// does, sharing read and write access; null when the file cannot be opened.
FILE *OpenForReading(const char *path);
void CloseFile(FILE *file);
