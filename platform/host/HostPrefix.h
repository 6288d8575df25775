// The prefix: the host folder that stands for the Windows machine, in the
// manner of Wine's prefixes. $ZARQUEL_PREFIX, by default ~/.zarquel, holds
// drive_c/ (drive C:, with C:\WINDOWS\Start Menu\Programs\) and dosdevices/,
// one symbolic link per drive letter ("c:" to ../drive_c, "z:" to /).
#pragma once

#include <stddef.h>
#include <sys/stat.h>

// Room for a host path, its terminator included.
enum { HostPathRoom = 4096 };

// The prefix folder, absolute; set up on first use when it lacks drive_c/.
// Empty when no prefix folder can be named (no ZARQUEL_PREFIX and no home).
const char *PrefixFolder();

// Uses `hostFolder` as the prefix from now on instead of the environment's;
// null returns to the environment's. It is set up on its next use.
void UsePrefix(const char *hostFolder);

// The host path of a drive letter's link in dosdevices/ (either letter case
// of the link's name); false when the prefix maps no such drive.
bool DriveLink(char letter, char *out, size_t room);

// The folder a drive letter's link leads to: its link's host path in `out` and
// the folder's status in `status`; false when the prefix maps no such drive or
// its link leads to no folder.
bool DriveFolder(char letter, char *out, size_t room, struct stat &status);
