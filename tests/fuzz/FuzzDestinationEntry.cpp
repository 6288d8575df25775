// The destination entry as the user may type it: arbitrary bytes in the folder
// field, then OK. Whatever the entry, the dialog refuses it or accepts a folder
// that ends with a backslash within its field.
#include "double/TestDouble.h"
#include "fuzz/FuzzCheck.h"
#include "installer/InstallerState.h"
#include "ui/SetupBox.h"

#include <string.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 301)
        return 0;
    // The first byte picks how the folder creation ends; the rest is typed.
    const DWORD outcomes[] = {ERROR_SUCCESS, ERROR_ALREADY_EXISTS, ERROR_PATH_NOT_FOUND,
                              ERROR_ACCESS_DENIED};
    Double::Scenario scenario;
    scenario.otherDirectoriesError = outcomes[data[0] % 4];
    scenario.messageBoxAnswers = {data[0] & 4 ? IDOK : IDCANCEL};
    std::string entry(reinterpret_cast<const char *>(data + 1), size - 1);
    entry = entry.substr(0, entry.find('\0')); // a window text ends at its first zero

    Double::Start(scenario);
    strcpy(InstallerState.SetupFolder, "D:\\DISK1\\");
    HWND dialog = Double::MakeDialog("SetupBox", SetupBoxProc);
    SetDlgItemTextA(dialog, 101, entry.c_str());
    Require(SetupBoxProc(dialog, WM_COMMAND, IDOK, 0) == 1);

    const char *folder = InstallerState.DestFolder;
    size_t length = strnlen(folder, sizeof InstallerState.DestFolder);
    Require(length < sizeof InstallerState.DestFolder);
    if (!Double::CallsTo("EndDialog").empty()) {
        Require(length > 0 && folder[length - 1] == '\\');
        Require(static_cast<unsigned char>(folder[0]) > 32);
        Require(InstallerState.CopyNeeded ==
                CompareIgnoringAsciiCase(folder, InstallerState.SetupFolder));
        // The folder is what was typed, or the default for an empty entry.
        Require(entry.compare(0, length - 1, folder, length - 1) == 0 ||
                strcmp(folder, "C:\\Zarquel\\") == 0);
    }

    int comparison = CompareIgnoringAsciiCase(entry.c_str(), folder);
    Require(comparison >= -255 && comparison <= 255);
    Require(comparison == -CompareIgnoringAsciiCase(folder, entry.c_str()));
    return 0;
}
