#include "ui/CenterOnDesktop.h"

void CenterOnDesktop(HWND window)
{
    RECT windowRect = {};
    RECT desktopRect = {};
    GetWindowRect(window, &windowRect);
    GetWindowRect(GetDesktopWindow(), &desktopRect);

    LONG width = windowRect.right - windowRect.left;
    LONG height = windowRect.bottom - windowRect.top;
    // Integer division drops the remainder toward zero: half of -5 is -2.
    LONG left = desktopRect.left + (desktopRect.right - desktopRect.left - width) / 2;
    LONG top = desktopRect.top + (desktopRect.bottom - desktopRect.top - height) / 2;
    MoveWindow(window, left, top, width, height, FALSE);
}
