// The modeless progress window.
#pragma once

#include "platform/WinApi.h"

INT_PTR CALLBACK ShowBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
