// The one process-wide record of the run: folders, working paths, the copy
// flag and the progress window's status control.
#pragma once

#include "platform/WinApi.h"

// 259 characters and the terminating zero: the width of a path in this system.
enum { PathRoom = 260 };

struct InstallerStateRecord {
    // Non-zero: the manifest files are copied from SetupFolder into DestFolder.
    int32_t CopyNeeded = 1;
    // The progress window's status text control; null while no window exists.
    HWND StatusLine = nullptr;
    char DestFolder[PathRoom] = "C:\\Zarquel\\";
    // A Windows directory of 239 characters makes a Programs folder of 260.
    char ProgramsFolder[PathRoom + 1] = "";
    // The Programs folder and a shortcut file name of up to 35 characters.
    char ShortcutPath[296] = "";
    char SetupFolder[PathRoom] = "";
    char WorkPath[PathRoom] = "";
    char TargetPath[PathRoom] = "";
};

extern InstallerStateRecord InstallerState;

// SetupFolder: the installer's own file name up to its last backslash or colon.
void DeriveSetupFolder(HINSTANCE instance);
// ProgramsFolder: the Windows directory followed by "\Start Menu\Programs\".
void DeriveProgramsFolder();
