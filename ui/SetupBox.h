// The destination folder dialog.
#pragma once

#include "platform/WinApi.h"

INT_PTR CALLBACK SetupBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Removes trailing blanks and control characters (1 to 32) in place.
void TrimTrailingBlanks(char *text);

// Compares two texts byte by byte, the letters a to z counted as A to Z: 0 when
// equal, otherwise the difference of the first differing bytes (-255 to 255).
int CompareIgnoringAsciiCase(const char *first, const char *second);
