#pragma once

#include "platform/WinApi.h"

// Moves a top-level window to the centre of the desktop, keeping its size;
// halves are rounded toward zero.
void CenterOnDesktop(HWND window);
