// The installation from start to end.
#pragma once

#include "platform/WinApi.h"

// Outcome bits of one run.
const uint32_t FilesIncomplete = 1;
const uint32_t ShortcutFailed = 2;

// Runs the whole installation; only the module instance is used. Returns 0.
int RunInstallation(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
