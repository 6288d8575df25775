#include "installer/Installation.h"

#include "installer/FileManifest.h"
#include "installer/InstallerState.h"
#include "installer/PathText.h"
#include "shell/Shortcut.h"
#include "ui/MessageReporter.h"
#include "ui/SetupBox.h"
#include "ui/ShowBox.h"

namespace
{

// The main program is looked for under this name; the manifest copies it as
// "Zarquel32.EXE", which the file system takes for the same file.
const char MainProgramName[] = "Zarquel32.exe";

// Points `programName` in DestFolder from `linkName` in ProgramsFolder.
HRESULT WriteShortcut(const char *programName, const char *linkName, const char *description)
{
    ComposeText(InstallerState.ShortcutPath, InstallerState.ProgramsFolder, linkName);
    if (!ComposeText(InstallerState.TargetPath, InstallerState.DestFolder, programName))
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    return CreateShortcut(InstallerState.TargetPath, InstallerState.DestFolder,
                          InstallerState.ShortcutPath, description);
}

void ReportOutcome(uint32_t problemFlags)
{
    if (problemFlags & FilesIncomplete)
        ReportMessage(MakeMessageCode(MsgWarning, BtnOk),
                      "Installation of the Zarquel files has finished,\n"
                      "but some files are missing!  Read MS Word file\n"
                      "Zarquel.DOC or text file Zarquel.TXT to see list\n"
                      "of expected files.");
    if (problemFlags & ShortcutFailed)
        ReportMessage(MakeMessageCode(MsgError, BtnOk),
                      "Installation of Zarquel onto the Start Menu failed!\n"
                      "Read MS Word file Zarquel.DOC or text file Zarquel.TXT\n"
                      "for instructions on installing manually.");
    if (problemFlags == 0)
        ReportMessage(MakeMessageCode(MsgInformation, BtnOk),
                      "Installation of the Zarquel software has finished.\n");
}

} // namespace

int RunInstallation(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    uint32_t problemFlags = 0;

    DeriveSetupFolder(instance);
    DeriveProgramsFolder();

    if (!PresentInSetupFolder(MainProgramName)) {
        ReportMessage(MakeMessageCode(MsgError, BtnOk),
                      "Zarquel software is not in Setup's folder:\n%s", InstallerState.SetupFolder);
        return 0;
    }

    // Only a cancelled dialog ends the run; a dialog that could not be made (-1) goes on.
    if (DialogBoxParamA(instance, "SetupBox", nullptr, SetupBoxProc, 0) == 0)
        return 0;

    HWND progressWindow = CreateDialogParamA(instance, "ShowBox", nullptr, ShowBoxProc, 0);

    for (int row = 0; row < ManifestRowCount; row++)
        InstallManifestRow(row, problemFlags);

    SetWindowTextA(InstallerState.StatusLine, "  Creating Start Menu shortcuts...");
    CoInitialize(nullptr);
    if (FAILED(WriteShortcut("Zarquel32.exe", "Zarquel - Win32 Data Plotter.lnk", "Zarquel")))
        problemFlags |= ShortcutFailed;
    WriteShortcut("Mirtan.exe", "Mirtan - Nonlinear Curve Fitter.lnk", "Mirtan");

    SendMessageA(progressWindow, WM_CLOSE, 0, 0);

    ReportOutcome(problemFlags);
    return 0;
}
