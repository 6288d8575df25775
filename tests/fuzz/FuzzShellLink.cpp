// The host's shell link writer fed arbitrary ANSI texts for the target, the
// working folder, the description and the link path, through the installer's
// own CreateShortcut, into a prefix made once in a temporary folder. A link
// that is saved is whole and in the format; a link that is not saved leaves
// nothing behind; a read-only file of the link's name is never replaced.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzScratch.h"
#include "platform/host/HostPaths.h"
#include "platform/host/HostPrefix.h"
#include "platform/posix/Codepage.h"
#include "shell/Shortcut.h"

#include <dirent.h>
#include <ftw.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

std::string DriveC;
const char ReadOnlyContent[] = "a read-only file";

void Make(const std::string &path)
{
    if (mkdir(path.c_str(), 0755) != 0)
        abort();
}

void MakePrefix()
{
    // On a memory file system where there is one: every saved link is flushed.
    char folder[] = "/dev/shm/fuzz-shell-link-XXXXXX";
    char fallback[] = "/tmp/fuzz-shell-link-XXXXXX";
    const char *made = mkdtemp(folder);
    if (!made)
        made = mkdtemp(fallback);
    if (!made)
        abort();
    char real[PATH_MAX];
    if (!realpath(made, real))
        abort();
    std::string prefix = real;
    FuzzScratch::RemoveAtExit(prefix);
    DriveC = prefix + "/drive_c";
    for (const char *name : {"", "/WINDOWS", "/WINDOWS/Start Menu", "/WINDOWS/Start Menu/Programs",
                             "/Links", "/Zarquel"})
        Make(DriveC + name);
    FILE *file = fopen((DriveC + "/Links/Kept.lnk").c_str(), "wb");
    if (!file)
        abort();
    fputs(ReadOnlyContent, file);
    fclose(file);
    chmod((DriveC + "/Links/Kept.lnk").c_str(), 0444);
    Make(prefix + "/dosdevices");
    if (symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()) != 0)
        abort();
    UsePrefix(prefix.c_str());
    if (chdir(DriveC.c_str()) != 0 || CoInitialize(nullptr) < 0)
        abort();
}

// Every entry of drive C:, so that a stray file shows.
void ListTree(const std::string &folder, std::vector<std::string> &out)
{
    DIR *directory = opendir(folder.c_str());
    if (!directory)
        return;
    while (const struct dirent *entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        out.push_back(folder + "/" + name);
        if (entry->d_type == DT_DIR)
            ListTree(folder + "/" + name, out);
    }
    closedir(directory);
}

std::vector<std::string> Tree()
{
    std::vector<std::string> entries;
    ListTree(DriveC, entries);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<uint8_t> ReadFile(const char *path)
{
    std::vector<uint8_t> bytes;
    if (FILE *file = fopen(path, "rb")) {
        uint8_t buffer[4096];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        fclose(file);
    }
    return bytes;
}

// A bounded reader of the link file's little-endian fields.
struct Reader {
    const std::vector<uint8_t> &bytes;
    size_t at;

    uint32_t Take(int count)
    {
        Require(at + count <= bytes.size());
        uint32_t value = 0;
        for (int i = 0; i < count; i++)
            value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        at += count;
        return value;
    }
    uint32_t U16() { return Take(2); }
    uint32_t U32() { return Take(4); }
    // A StringData entry: a count, then that many UTF-16 units of the ANSI text.
    void CountedText(const std::string &expected)
    {
        Require(U16() == expected.size());
        for (unsigned char c : expected)
            Require(U16() == AnsiToUnicode(c));
    }
};

bool IsLocalPath(const std::string &path)
{
    char letter = static_cast<char>(path[0] | 0x20);
    return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

// The whole file: the header, the link info naming the target, the strings
// and the terminal block, each present exactly when its property was set.
void CheckLinkFile(const std::vector<uint8_t> &bytes, const std::string &target,
                   const std::string &folder, const std::string &description)
{
    static const uint8_t LinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    // The link object refuses a path or folder of MAX_PATH characters or more
    // and a description of INFOTIPSIZE or more; a refused property is not set.
    bool withTarget = !target.empty() && target.size() < MAX_PATH && IsLocalPath(target);
    bool withFolder = !folder.empty() && folder.size() < MAX_PATH;
    bool withName = !description.empty() && description.size() < INFOTIPSIZE;

    Reader reader{bytes, 0};
    Require(reader.U32() == 0x4C);
    Require(bytes.size() >= 20 && memcmp(&bytes[4], LinkClsid, 16) == 0);
    reader.at = 20;
    uint32_t flags = reader.U32();
    Require(flags ==
            (0x80u | (withTarget ? 0x2u : 0) | (withName ? 0x4u : 0) | (withFolder ? 0x10u : 0)));
    uint32_t attributes = reader.U32();
    Require(attributes == 0 || attributes == 0x10 || attributes == 0x11 || attributes == 0x20 ||
            attributes == 0x21);
    reader.at = 0x38;
    Require(reader.U32() == 0); // icon index
    Require(reader.U32() == 1); // SW_SHOWNORMAL
    Require(reader.U16() == 0); // hot key
    reader.at = 0x4C;

    if (withTarget) {
        size_t start = reader.at;
        uint32_t size = reader.U32();
        Require(reader.U32() == 0x1C); // header size
        Require(reader.U32() == 1);    // VolumeIDAndLocalBasePath
        Require(reader.U32() == 0x1C); // volume id offset
        uint32_t basePathOffset = reader.U32();
        Require(reader.U32() == 0); // no network path
        uint32_t suffixOffset = reader.U32();
        Require(reader.U32() == 0x11); // volume id size
        Require(reader.U32() == 3);    // DRIVE_FIXED
        reader.U32();                  // serial number
        Require(reader.U32() == 0x10); // label offset
        Require(reader.Take(1) == 0);  // an empty label
        Require(basePathOffset == 0x2D && reader.at == start + basePathOffset);
        Require(suffixOffset == basePathOffset + target.size() + 1);
        Require(size == suffixOffset + 1);
        Require(start + size <= bytes.size());
        Require(memcmp(&bytes[reader.at], target.c_str(), target.size() + 1) == 0);
        reader.at = start + size;
        Require(bytes[reader.at - 1] == 0); // an empty common path suffix
    }
    if (withName)
        reader.CountedText(description);
    if (withFolder)
        reader.CountedText(folder);
    Require(reader.U32() == 0); // the terminal block
    Require(reader.at == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (DriveC.empty())
        MakePrefix();
    if (size == 0 || size > 4000)
        return 0;
    // The first byte places the link; the rest holds the target, the working
    // folder, the description and the link's name or path, split at zero bytes.
    std::string texts[4];
    int field = 0;
    for (size_t i = 1; i < size; i++) {
        if (data[i] == 0) {
            if (++field == 4)
                break;
        } else {
            texts[field] += static_cast<char>(data[i]);
        }
    }
    const std::string &target = texts[0], &folder = texts[1], &description = texts[2];
    static const char *const Places[] = {"C:\\Links\\", "C:\\WINDOWS\\Start Menu\\Programs\\", "",
                                         "C:\\Links\\Kept.lnk"};
    std::string linkPath = Places[data[0] % 4];
    if (data[0] % 4 != 3)
        linkPath += texts[3];

    const std::vector<std::string> before = Tree();
    HRESULT result =
        CreateShortcut(target.c_str(), folder.c_str(), linkPath.c_str(), description.c_str());
    std::vector<std::string> after = Tree();

    // A link path beyond 260 UTF-16 units, its zero included, is never saved.
    if (linkPath.size() + 1 > MAX_PATH)
        Require(FAILED(result));
    // The read-only file is never replaced.
    Require(ReadFile((DriveC + "/Links/Kept.lnk").c_str()) ==
            std::vector<uint8_t>(ReadOnlyContent, ReadOnlyContent + strlen(ReadOnlyContent)));

    if (FAILED(result)) {
        Require(after == before); // nothing left behind, not even a temporary file
        return 0;
    }
    static ResolvedPath link;
    Require(ResolveAnsiPath(linkPath.c_str(), link) == ERROR_SUCCESS && link.exists &&
            S_ISREG(link.status.st_mode));
    CheckLinkFile(ReadFile(link.host), target, folder, description);
    // Nothing else is new: no temporary file is left behind.
    char real[PATH_MAX];
    Require(realpath(link.host, real) != nullptr);
    std::vector<std::string> others = after;
    others.erase(std::remove(others.begin(), others.end(), real), others.end());
    Require(others == before);
    Require(unlink(link.host) == 0);
    return 0;
}
