// The bytes of a shell link file in the public Shell Link Binary File Format:
// the header, the link info with the volume and the local base path, and the
// description and working folder strings.
#pragma once

#include "platform/WinApi.h"

#include <stddef.h>
#include <stdint.h>

struct LinkProperties {
    const char *target;        // ANSI, a full path with a drive letter ("C:\A\B.exe"); may be empty
    const char *workingFolder; // ANSI; may be empty
    const char *description;   // ANSI; may be empty
    DWORD targetAttributes;    // FILE_ATTRIBUTE_* of the target, 0 when unknown
    uint64_t creationTime;     // FILETIME values of the target, 0 when unknown
    uint64_t accessTime;
    uint64_t writeTime;
    DWORD targetSize;        // the low 32 bits of the target's size
    DWORD driveSerialNumber; // of the volume that holds the target
    int showCommand;
};

// Link flags and attribute values of the format.
enum : DWORD {
    HasLinkInfo = 0x00000002,
    HasName = 0x00000004,
    HasWorkingDir = 0x00000010,
    IsUnicode = 0x00000080,
};
enum : DWORD {
    LinkFileAttributeReadOnly = 0x01,
    LinkFileAttributeDirectory = 0x10,
    LinkFileAttributeArchive = 0x20,
};

// Composes the file into `out`; returns its size, or 0 when it does not fit
// `room` (a link that does not fit is never written in part).
size_t ComposeLinkFile(const LinkProperties &link, uint8_t *out, size_t room);

// The FILETIME (100-nanosecond steps since 1601) of a host time.
uint64_t FileTimeOf(int64_t seconds, long nanoseconds);
