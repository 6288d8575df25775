// Windows paths on the host: drive letters through the prefix's dosdevices/
// links, backslashes (or slashes) between names, names matched without regard
// to case, component by component, on a case-sensitive file system.
#pragma once

#include "platform/WinApi.h"
#include "platform/host/HostPrefix.h"

#include <sys/stat.h>

struct ResolvedPath {
    // The host path of the named entry: an existing entry under its own name
    // on disk, a new one under the name as typed.
    char host[HostPathRoom];
    // The final name as it will be created (UTF-8), empty for a drive's root.
    char name[HostPathRoom];
    // The host path of the folder that holds the entry (the drive's root for itself).
    char folder[HostPathRoom];
    // The device of that folder.
    dev_t folderDevice;
    // An entry of that name, in any letter case, exists; `status` is its
    // status, through a symbolic link when it has one.
    bool exists;
    struct stat status;
    // The Windows path ended with a separator ("C:\Zarquel\").
    bool trailingSeparator;
    bool isRoot;
    // The length of the full Windows path in UTF-16 units.
    size_t windowsLength;
};

// Resolves a Windows path given as UTF-8 text. Returns ERROR_SUCCESS, or the
// Windows code of the failure: ERROR_INVALID_NAME (a character Windows does
// not allow in a name), ERROR_PATH_NOT_FOUND (no such drive, or a folder on
// the way missing or not a folder), ERROR_BAD_NETPATH (a network path),
// ERROR_FILENAME_EXCED_RANGE (longer than MAX_PATH).
// Relative paths are taken from the current folder's Windows path.
DWORD ResolveWindowsPath(const char *path, ResolvedPath &out);

// The same for an ANSI (Windows-1252) path, as the installer's texts are.
DWORD ResolveAnsiPath(const char *path, ResolvedPath &out);

// The Windows path (UTF-8) of an absolute host path, through the drive whose
// link target holds it most closely (of equals, the first letter). False when
// no drive holds it or the text does not fit.
bool WindowsPathOfHost(const char *hostPath, char *out, size_t room);

// The Windows code of a host error: ENOENT gives `missing`, which is
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND by what the caller looked for.
DWORD WindowsErrorOf(int hostError, DWORD missing);
