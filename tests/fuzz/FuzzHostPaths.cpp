// The host's path resolution fed arbitrary Windows paths, against a prefix
// made once in a temporary folder: drives linked to folders, to a file, to
// nowhere and in a loop; names in several letter cases, in UTF-8 and not;
// symbolic links inside a drive. Whatever the path, the resolution stays
// within its fields, names an entry under a drive's link, and answers alike
// for the same path spelt with other separators or letter case.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzScratch.h"
#include "platform/host/HostPaths.h"
#include "platform/host/HostPrefix.h"
#include "platform/host/HostText.h"

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace
{

std::string Prefix;

void Make(const std::string &path, bool folder)
{
    if (folder) {
        mkdir(path.c_str(), 0755);
    } else if (FILE *file = fopen(path.c_str(), "wb")) {
        fputs("x", file);
        fclose(file);
    }
}

void Link(const char *target, const std::string &link)
{
    if (symlink(target, link.c_str()) != 0)
        abort();
}

// The machine: C: the prefix's drive_c, D: a tree with look-alike names,
// E: a link to nowhere, F: a link to a file, G: a link to itself, H: the same
// folder as D: under an upper-case link name, Y: a relative link to C:'s
// Windows folder.
void MakePrefix()
{
    char folder[] = "/tmp/fuzz-host-paths-XXXXXX";
    if (!mkdtemp(folder))
        abort();
    FuzzScratch::RemoveAtExit(folder);
    Prefix = std::string(folder) + "/pr\xC3\xA9"
                                   "fix one";
    Make(Prefix, true);
    const std::string c = Prefix + "/drive_c";
    for (const char *name : {"", "/WINDOWS", "/WINDOWS/Start Menu", "/WINDOWS/Start Menu/Programs",
                             "/Zarquel", "/Zarquel/Data"})
        Make(c + name, true);
    Make(c + "/Zarquel/Zarquel32.EXE", false);
    Make(c + "/Zarquel/zarquel.txt", false);

    const std::string d = std::string(folder) + "/media";
    for (const char *name : {"", "/DISK1",
                             "/Gr\xC3\xB6\xC3\x9F"
                             "e",
                             "/\xC3\x84rger", "/bad\xFFname", "/DISK1/Sub"})
        Make(d + name, true);
    for (const char *name : {"/DISK1/Install.EXE", "/DISK1/Zarquel32.EXE", "/DISK1/zarquel32.exe",
                             "/Gr\xC3\xB6\xC3\x9F"
                             "e/\xC3\xA9t\xC3\xA9.txt",
                             "/plain"})
        Make(d + name, false);
    Link("DISK1", d + "/ToDisk");
    Link("missing", d + "/Dangling");
    Link("Loop", d + "/Loop");

    const std::string devices = Prefix + "/dosdevices";
    Make(devices, true);
    Link("../drive_c", devices + "/c:");
    Link(d.c_str(), devices + "/d:");
    Link("/nonexistent/fuzz", devices + "/e:");
    Link((d + "/plain").c_str(), devices + "/f:");
    Link("g:", devices + "/g:");
    Link(d.c_str(), devices + "/H:");
    Link("../drive_c/WINDOWS", devices + "/y:");
    UsePrefix(Prefix.c_str());
    // Relative paths are taken from here: D:\DISK1\Sub.
    if (chdir((d + "/DISK1/Sub").c_str()) != 0)
        abort();
}

bool StartsWith(const char *text, const std::string &start)
{
    return strncmp(text, start.c_str(), start.size()) == 0;
}

size_t Length(const char *field, size_t room)
{
    size_t length = strnlen(field, room);
    Require(length < room);
    return length;
}

void CheckResolved(DWORD error, const ResolvedPath &path)
{
    const DWORD known[] = {ERROR_SUCCESS, ERROR_INVALID_NAME, ERROR_PATH_NOT_FOUND,
                           ERROR_BAD_NETPATH, ERROR_FILENAME_EXCED_RANGE};
    bool isKnown = false;
    for (DWORD code : known)
        isKnown = isKnown || error == code;
    Require(isKnown);
    size_t hostLength = Length(path.host, sizeof path.host);
    size_t nameLength = Length(path.name, sizeof path.name);
    size_t folderLength = Length(path.folder, sizeof path.folder);
    if (error != ERROR_SUCCESS)
        return;

    // Every entry lies under a drive's link in the prefix's dosdevices/.
    Require(StartsWith(path.host, Prefix + "/dosdevices/"));
    Require(path.windowsLength >= 3 && path.windowsLength < MAX_PATH);
    Require(!strstr(path.host + Prefix.size(), "/./") &&
            !strstr(path.host + Prefix.size(), "/../"));
    if (path.isRoot) {
        Require(path.exists && nameLength == 0 && strcmp(path.host, path.folder) == 0);
        return;
    }
    // The entry is its folder and its name, a name without a separator.
    Require(nameLength > 0 && !strchr(path.name, '/'));
    Require(hostLength == folderLength + 1 + nameLength);
    Require(strncmp(path.host, path.folder, folderLength) == 0 && path.host[folderLength] == '/');
    Require(strcmp(path.host + folderLength + 1, path.name) == 0);
    struct stat status;
    Require(stat(path.folder, &status) == 0 && S_ISDIR(status.st_mode));
    if (path.exists)
        Require(lstat(path.host, &status) == 0);
}

bool SameResolution(DWORD first, const ResolvedPath &one, DWORD second, const ResolvedPath &two)
{
    return first == second &&
           (first != ERROR_SUCCESS || (one.exists == two.exists && one.isRoot == two.isRoot &&
                                       one.windowsLength == two.windowsLength &&
                                       one.trailingSeparator == two.trailingSeparator &&
                                       strcasecmp(one.host, two.host) == 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (Prefix.empty())
        MakePrefix();
    if (size == 0 || size > 600)
        return 0;
    // The first byte chooses how the path is read: as ANSI, the installer's
    // texts, or as UTF-8, the link path that Save receives.
    bool ansi = (data[0] & 1) == 0;
    std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));

    static ResolvedPath path, other;
    DWORD error =
        ansi ? ResolveAnsiPath(text.c_str(), path) : ResolveWindowsPath(text.c_str(), path);
    CheckResolved(error, path);
    if (!ansi)
        return 0;

    // Slashes separate names as backslashes do.
    std::string slashes = text;
    for (char &c : slashes)
        c = c == '\\' ? '/' : c;
    Require(SameResolution(error, path, ResolveAnsiPath(slashes.c_str(), other), other));

    // Names are found without regard to case. The tree's only names that
    // differ in case alone are files (Zarquel32.EXE and zarquel32.exe), which
    // differ in case in the result too.
    std::string upper = text;
    for (char &c : upper)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
    Require(SameResolution(error, path, ResolveAnsiPath(upper.c_str(), other), other));

    // An existing entry's host path, taken back to Windows through the drives,
    // resolves to the same entry. (Known exception, left out: a drive whose
    // link leads to a file, F: here, is taken for that file's Windows path,
    // "F:\", although as a drive it is missing.)
    if (error == ERROR_SUCCESS && path.exists && !path.isRoot) {
        char real[HostPathRoom];
        char windows[HostPathRoom];
        if (realpath(path.host, real) && WindowsPathOfHost(real, windows, sizeof windows) &&
            strlen(windows) > 3) {
            Length(windows, sizeof windows);
            DWORD again = ResolveWindowsPath(windows, other);
            char realAgain[HostPathRoom];
            if (again != ERROR_FILENAME_EXCED_RANGE && again != ERROR_INVALID_NAME)
                Require(again == ERROR_SUCCESS && other.exists && realpath(other.host, realAgain) &&
                        strcmp(real, realAgain) == 0);
        }
    }
    return 0;
}
