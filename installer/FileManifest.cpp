#include "installer/FileManifest.h"

#include "installer/Installation.h"
#include "installer/InstallerState.h"
#include "installer/PathText.h"
#include "ui/MessageReporter.h"

const char *const FileManifest[ManifestRowCount] = {
    "Zarquel32.EXE",  "Zarquel32.HLP", "Mirtan.EXE",     "Zarquel.TXT", "Zarquel.DOC",
    "ZarquelC32.DLL", "ZarquelC32.H",  "ZarquelC32.LIB", "SampleA.C",   "SampleA.EXE",
    "SampleB.FRM",    "SampleB.MAK",   "SampleB.EXE",    "Intro.ZQL",   "Spectrum.ZQL",
    "Linear.ZQL",     "Mesh.ZQL",      "Curved.ZQL",     "Detail.ZQL",  "Deriv.ZQL",
    "Bins.ZQL",       "Spread.ZQL",    "Helix.ZQL",      "Cloud.ZQL",   "Mean.ZQL",
    "Decay.ZQL",      "Grid.ZQL",      "Tour.ZQL",       "Formula.ZQL", "Normal.ZQL",
    "Peaks.MTN",      "Damped.MTN",    "Zarquel.FAQ",    "Install.EXE", "Summary.DIZ",
};

namespace
{

// The first three rows are the programs and their help: their problems are errors.
// The last row's problems are not reported at all.
const int FirstWarningRow = 3;
const int SilentRow = 34;

} // namespace

bool PresentInSetupFolder(const char *name)
{
    if (!ComposeText(InstallerState.WorkPath, InstallerState.SetupFolder, name))
        return false; // a path that long cannot name a file
    FILE *file = OpenForReading(InstallerState.WorkPath);
    if (file == nullptr)
        return false;
    CloseFile(file);
    return true;
}

namespace
{

bool CopyToDestination(const char *name)
{
    if (!ComposeText(InstallerState.TargetPath, InstallerState.DestFolder, name))
        return false; // refused rather than cut short onto another name
    return CopyFileA(InstallerState.WorkPath, InstallerState.TargetPath, FALSE) != 0;
}

} // namespace

void InstallManifestRow(int row, uint32_t &problemFlags)
{
    const char *name = FileManifest[row];

    ComposeText(InstallerState.WorkPath, "  Copying ", name);
    SetWindowTextA(InstallerState.StatusLine, InstallerState.WorkPath);

    MessageCode code = MakeMessageCode(row < FirstWarningRow ? MsgError : MsgWarning, BtnOk);
    const char *problem = nullptr;
    if (!PresentInSetupFolder(name))
        problem = "File %s is missing!";
    else if (InstallerState.CopyNeeded != 0 && !CopyToDestination(name))
        problem = "Failed to copy file %s!";

    if (problem != nullptr && row != SilentRow) {
        ReportMessage(code, problem, name);
        problemFlags |= FilesIncomplete;
    }
}
