#include "ui/ShowBox.h"

#include "installer/InstallerState.h"
#include "ui/CenterOnDesktop.h"
#include "ui/resources/ResourceIds.h"

INT_PTR CALLBACK ShowBoxProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnDesktop(window);
        SetWindowTextA(window, "Zarquel Software Installation Status");
        InstallerState.StatusLine = GetDlgItem(window, StatusText);
        SetWindowTextA(InstallerState.StatusLine, "  Please wait...");
        return TRUE;

    case WM_CLOSE:
        DestroyWindow(window);
        InstallerState.StatusLine = nullptr;
        return TRUE;
    }
    return FALSE;
}
