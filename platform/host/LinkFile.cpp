#include "platform/host/LinkFile.h"

#include "platform/posix/Codepage.h"

#include <string.h>

namespace
{

const DWORD HeaderSize = 0x4C;
const DWORD LinkInfoHeaderSize = 0x1C; // no Unicode offsets: the paths are ANSI
const DWORD VolumeIDAndLocalBasePath = 0x1;
const DWORD VolumeIDHeaderSize = 0x10;
const DWORD DriveFixed = 3;

// A bounded writer of little-endian values.
struct Writer {
    uint8_t *out;
    size_t room;
    size_t used;
    bool overflow;

    void Bytes(const void *data, size_t size)
    {
        if (overflow || used + size > room) {
            overflow = true;
            return;
        }
        memcpy(out + used, data, size);
        used += size;
    }
    void U16(uint32_t value)
    {
        uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        Bytes(bytes, 2);
    }
    void U32(uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void U64(uint64_t value)
    {
        U32(static_cast<uint32_t>(value));
        U32(static_cast<uint32_t>(value >> 32));
    }
    void Ansi(const char *text) { Bytes(text, strlen(text) + 1); }
    // A StringData entry: the count of characters, then UTF-16 units, no terminator.
    void CountedUnicode(const char *ansi)
    {
        size_t count = strlen(ansi);
        if (count > 0xFFFF) {
            overflow = true;
            return;
        }
        U16(static_cast<uint32_t>(count));
        for (const char *c = ansi; *c; c++)
            U16(AnsiToUnicode(static_cast<unsigned char>(*c)));
    }
};

bool HasText(const char *text)
{
    return text && *text;
}

// The link info can name only a local path: a drive letter, a colon, a backslash.
bool IsLocalPath(const char *path)
{
    char letter = static_cast<char>(path[0] | 0x20);
    return letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

void WriteLinkInfo(Writer &writer, const LinkProperties &link)
{
    const DWORD volumeIdSize = VolumeIDHeaderSize + 1; // an empty volume label
    const DWORD localBasePathOffset = LinkInfoHeaderSize + volumeIdSize;
    const DWORD localBasePathSize = static_cast<DWORD>(strlen(link.target) + 1);
    const DWORD commonPathSuffixOffset = localBasePathOffset + localBasePathSize;
    const DWORD linkInfoSize = commonPathSuffixOffset + 1;

    writer.U32(linkInfoSize);
    writer.U32(LinkInfoHeaderSize);
    writer.U32(VolumeIDAndLocalBasePath);
    writer.U32(LinkInfoHeaderSize); // VolumeIDOffset
    writer.U32(localBasePathOffset);
    writer.U32(0); // CommonNetworkRelativeLinkOffset: not a network path
    writer.U32(commonPathSuffixOffset);

    writer.U32(volumeIdSize);
    writer.U32(DriveFixed);
    writer.U32(link.driveSerialNumber);
    writer.U32(VolumeIDHeaderSize); // VolumeLabelOffset
    writer.Ansi("");                // the volume label

    // The whole target as the local base path, an empty common path suffix.
    writer.Ansi(link.target);
    writer.Ansi("");
}

} // namespace

size_t ComposeLinkFile(const LinkProperties &link, uint8_t *out, size_t room)
{
    bool withLinkInfo = HasText(link.target) && IsLocalPath(link.target);
    bool withName = HasText(link.description);
    bool withWorkingDir = HasText(link.workingFolder);
    DWORD flags = IsUnicode;
    if (withLinkInfo)
        flags |= HasLinkInfo;
    if (withName)
        flags |= HasName;
    if (withWorkingDir)
        flags |= HasWorkingDir;

    static const uint8_t LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    Writer writer = {out, room, 0, false};
    writer.U32(HeaderSize);
    writer.Bytes(LinkClsid, sizeof LinkClsid);
    writer.U32(flags);
    writer.U32(link.targetAttributes);
    writer.U64(link.creationTime);
    writer.U64(link.accessTime);
    writer.U64(link.writeTime);
    writer.U32(link.targetSize);
    writer.U32(0); // IconIndex
    writer.U32(static_cast<uint32_t>(link.showCommand));
    writer.U16(0); // HotKey
    writer.U16(0); // Reserved1
    writer.U32(0); // Reserved2
    writer.U32(0); // Reserved3

    if (withLinkInfo)
        WriteLinkInfo(writer, link);
    // The strings in the format's order: name, relative path, working folder,
    // arguments, icon location; only the first and third are set.
    if (withName)
        writer.CountedUnicode(link.description);
    if (withWorkingDir)
        writer.CountedUnicode(link.workingFolder);
    writer.U32(0); // the terminal block of the extra data

    return writer.overflow ? 0 : writer.used;
}

uint64_t FileTimeOf(int64_t seconds, long nanoseconds)
{
    // 1601-01-01 to 1970-01-01 is 11644473600 seconds.
    const int64_t EpochDifference = 11644473600LL;
    if (seconds < -EpochDifference)
        return 0;
    return static_cast<uint64_t>(seconds + EpochDifference) * 10000000ULL +
           static_cast<uint64_t>(nanoseconds / 100);
}
