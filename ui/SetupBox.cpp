#include "ui/SetupBox.h"

#include "installer/InstallerState.h"
#include "installer/PathText.h"
#include "ui/CenterOnDesktop.h"
#include "ui/MessageReporter.h"
#include "ui/resources/ResourceIds.h"

#include <string.h>

namespace
{

const char DefaultDestFolder[] = "C:\\Zarquel\\";
const char InvalidSpecification[] = "Invalid specification for destination folder.";

// Blanks and control characters; bytes from 0x80 up are letters of the ANSI
// code page and stay.
bool IsBlankOrControl(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

void OnInitDialog(HWND dialog)
{
    CenterOnDesktop(dialog);
    SendMessageA(GetDlgItem(dialog, DestFolderEdit), EM_LIMITTEXT, PathRoom, 0);
    SetDlgItemTextA(dialog, DestFolderEdit, InstallerState.DestFolder);
    SetDlgItemTextA(dialog, ProgramsFolderText, InstallerState.ProgramsFolder);
    SetFocus(GetDlgItem(dialog, IDOK));
}

// Reads the entry into DestFolder and brings it into the form "folder\".
// False when no backslash fits after it: a 259-character entry is refused
// rather than cut, since the shortened name would be another folder.
bool NormaliseEntry(HWND dialog)
{
    char *folder = InstallerState.DestFolder;
    GetDlgItemTextA(dialog, DestFolderEdit, folder, PathRoom);
    TrimTrailingBlanks(folder);

    size_t length = strlen(folder);
    if (length == 0)
        return ComposeText(InstallerState.DestFolder, DefaultDestFolder, "");
    if (folder[length - 1] == '\\')
        return true;
    if (length + 1 >= PathRoom)
        return false;
    folder[length] = '\\';
    folder[length + 1] = '\0';
    return true;
}

// Creates DestFolder, or asks before using one that exists. True when accepted.
bool CreateOrConfirmFolder()
{
    // CreateDirectoryA does not clear the last error when it succeeds.
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryA(InstallerState.DestFolder, nullptr);
    switch (GetLastError()) {
    case ERROR_SUCCESS:
        return true;
    case ERROR_ALREADY_EXISTS:
        return ReportMessage(MakeMessageCode(MsgProceed, BtnOkCancel),
                             "A folder with that name already exists.\nUse that folder?") == IDOK;
    case ERROR_PATH_NOT_FOUND:
        ReportMessage(MakeMessageCode(MsgError, BtnOk),
                      "Invalid path to specified destination folder.");
        return false;
    default:
        ReportMessage(MakeMessageCode(MsgError, BtnOk), InvalidSpecification);
        return false;
    }
}

void OnOk(HWND dialog)
{
    if (!NormaliseEntry(dialog) || IsBlankOrControl(InstallerState.DestFolder[0])) {
        ReportMessage(MakeMessageCode(MsgError, BtnOk), InvalidSpecification);
        return;
    }
    if (!CreateOrConfirmFolder())
        return;
    InstallerState.CopyNeeded =
        CompareIgnoringAsciiCase(InstallerState.DestFolder, InstallerState.SetupFolder);
    EndDialog(dialog, 1);
}

} // namespace

void TrimTrailingBlanks(char *text)
{
    size_t length = strlen(text);
    while (length > 0 && IsBlankOrControl(text[length - 1]))
        text[--length] = '\0';
}

int CompareIgnoringAsciiCase(const char *first, const char *second)
{
    for (;; first++, second++) {
        int a = static_cast<unsigned char>(*first);
        int b = static_cast<unsigned char>(*second);
        if (a >= 'a' && a <= 'z')
            a -= 'a' - 'A';
        if (b >= 'a' && b <= 'z')
            b -= 'a' - 'A';
        if (a != b || a == 0)
            return a - b;
    }
}

INT_PTR CALLBACK SetupBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE; // the focus stays on OK

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
