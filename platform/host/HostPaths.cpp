#include "platform/host/HostPaths.h"

#include "platform/host/HostText.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

enum { MaxNames = 1024 };

// A Windows path made full: its drive and its names, with "." and ".." and the
// characters that Windows trims already taken out.
struct FullPath {
    char drive; // 'a' to 'z'
    char text[HostPathRoom];
    const char *names[MaxNames];
    int count;
    bool trailingSeparator;
};

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool Compose(char *out, size_t room, const char *first, const char *second, const char *third)
{
    int length = snprintf(out, room, "%s%s%s", first, second, third);
    return length >= 0 && static_cast<size_t>(length) < room;
}

// The Windows path of the process's current folder.
bool CurrentWindowsFolder(char *out, size_t room)
{
    char current[HostPathRoom];
    return getcwd(current, sizeof current) && WindowsPathOfHost(current, out, room);
}

// Takes `rest`, the part after the drive, apart into names. Windows' own rules:
// runs of separators count as one, "." names the folder itself and ".." its
// parent (never above the root), a name loses a single trailing period, and
// the last name, when no separator follows it, loses all trailing periods and
// blanks.
DWORD SplitNames(const char *rest, FullPath &full)
{
    full.count = 0;
    full.trailingSeparator = false;
    size_t used = 0;
    const char *c = rest;
    while (*c) {
        while (IsSeparator(*c))
            c++;
        if (!*c)
            break;
        const char *start = c;
        while (*c && !IsSeparator(*c))
            c++;
        size_t length = static_cast<size_t>(c - start);
        bool last = !*c;
        if (length == 1 && start[0] == '.')
            continue;
        if (length == 2 && start[0] == '.' && start[1] == '.') {
            if (full.count > 0)
                used = static_cast<size_t>(full.names[--full.count] - full.text);
            continue;
        }
        if (last) {
            while (length > 0 && (start[length - 1] == '.' || start[length - 1] == ' '))
                length--;
        } else if (length >= 2 && start[length - 1] == '.' && start[length - 2] != '.') {
            length--;
        }
        if (length == 0)
            continue;
        if (full.count == MaxNames || used + length + 1 > sizeof full.text)
            return ERROR_FILENAME_EXCED_RANGE;
        memcpy(full.text + used, start, length);
        full.text[used + length] = '\0';
        full.names[full.count++] = full.text + used;
        used += length + 1;
    }
    full.trailingSeparator = c > rest && IsSeparator(c[-1]) && full.count > 0;
    return ERROR_SUCCESS;
}

DWORD MakeFullPath(const char *path, FullPath &full)
{
    if (!path || !*path)
        return ERROR_PATH_NOT_FOUND;
    if (IsSeparator(path[0]) && IsSeparator(path[1]))
        return ERROR_BAD_NETPATH;

    char current[HostPathRoom];
    char combined[HostPathRoom];
    const char *rest;
    if (IsLetter(path[0]) && path[1] == ':') {
        full.drive = static_cast<char>(path[0] | 0x20);
        rest = path + 2;
        // "D:name" is relative to the drive's current folder: the process's
        // own when it is on that drive, the root otherwise.
        if (!IsSeparator(*rest) && CurrentWindowsFolder(current, sizeof current) &&
            (current[0] | 0x20) == full.drive) {
            if (!Compose(combined, sizeof combined, current + 2, "\\", rest))
                return ERROR_FILENAME_EXCED_RANGE;
            rest = combined;
        }
    } else {
        if (!CurrentWindowsFolder(current, sizeof current))
            return ERROR_PATH_NOT_FOUND;
        full.drive = static_cast<char>(current[0] | 0x20);
        if (IsSeparator(path[0]))
            rest = path;
        else if (Compose(combined, sizeof combined, current + 2, "\\", path))
            rest = combined;
        else
            return ERROR_FILENAME_EXCED_RANGE;
    }
    return SplitNames(rest, full);
}

// Windows refuses these in a name: < > : " | ? * and the control characters.
bool IsValidName(const char *name)
{
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(name); *c; c++)
        if (*c < 0x20 || strchr("<>:\"|?*", *c))
            return false;
    return true;
}

size_t WindowsLength(const FullPath &full)
{
    size_t length = 3; // "C:\"
    for (int i = 0; i < full.count; i++)
        length += Utf16Length(full.names[i]) + (i > 0 ? 1 : 0);
    return length + (full.trailingSeparator ? 1 : 0);
}

// Of the entries of a folder that equal `name` without regard to case: the
// exact name when it is among them, otherwise the first in byte order.
void Consider(const char *entry, const char *name, char *found, size_t room, bool &matched,
              bool &exact)
{
    if (exact || strcmp(entry, ".") == 0 || strcmp(entry, "..") == 0 || !NamesMatch(entry, name))
        return;
    exact = strcmp(entry, name) == 0;
    if (exact || !matched || strcmp(entry, found) < 0)
        matched = Compose(found, room, entry, "", "");
}

// The entry of `folder` that `name` names: the exact name when it exists,
// otherwise the first, in byte order, that equals it without regard to case.
// `statusKnown` tells that `status` holds the entry's status, followed through
// a symbolic link (known when the exact name was found at the first look).
bool FindEntry(const char *folder, const char *name, char *found, size_t room, struct stat &status,
               bool &statusKnown)
{
    char path[HostPathRoom];
    statusKnown = false;
    if (!Compose(path, sizeof path, folder, "/", name))
        return false;
    if (stat(path, &status) == 0) {
        statusKnown = true;
        return Compose(found, room, name, "", "");
    }

    // Not there under that name, or a link that leads nowhere: read the folder.
    bool matched = false;
    bool exact = false;
#if defined(__linux__)
    int directory = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0)
        return lstat(path, &status) == 0 && Compose(found, room, name, "", "");
    alignas(struct dirent64) char entries[8192];
    for (;;) {
        ssize_t got = getdents64(directory, entries, sizeof entries);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const struct dirent64 *entry = reinterpret_cast<const struct dirent64 *>(entries + at);
            Consider(entry->d_name, name, found, room, matched, exact);
            at += entry->d_reclen;
        }
    }
    close(directory);
#else
    DIR *directory = opendir(folder);
    if (!directory)
        return lstat(path, &status) == 0 && Compose(found, room, name, "", "");
    while (const struct dirent *entry = readdir(directory))
        Consider(entry->d_name, name, found, room, matched, exact);
    closedir(directory);
#endif
    return matched;
}

} // namespace

DWORD ResolveWindowsPath(const char *path, ResolvedPath &out)
{
    out.host[0] = out.name[0] = out.folder[0] = '\0';
    out.exists = out.trailingSeparator = out.isRoot = false;
    out.windowsLength = 0;
    out.folderDevice = 0;

    static FullPath full; // large; one thread
    DWORD error = MakeFullPath(path, full);
    if (error != ERROR_SUCCESS)
        return error;
    for (int i = 0; i < full.count; i++)
        if (!IsValidName(full.names[i]))
            return ERROR_INVALID_NAME;
    out.windowsLength = WindowsLength(full);
    if (out.windowsLength >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    out.trailingSeparator = full.trailingSeparator;

    // A drive is there when its link leads to a folder.
    if (!DriveFolder(full.drive, out.host, sizeof out.host, out.status))
        return ERROR_PATH_NOT_FOUND;
    Compose(out.folder, sizeof out.folder, out.host, "", "");
    out.folderDevice = out.status.st_dev;
    if (full.count == 0) {
        out.isRoot = out.exists = true;
        return ERROR_SUCCESS;
    }

    char found[HostPathRoom];
    for (int i = 0; i < full.count; i++) {
        bool last = i == full.count - 1;
        struct stat status;
        bool statusKnown;
        bool exists = FindEntry(out.host, full.names[i], found, sizeof found, status, statusKnown);
        if (last)
            Compose(out.folder, sizeof out.folder, out.host, "", "");
        const char *name = exists ? found : full.names[i];
        size_t length = strlen(out.host);
        if (!Compose(out.host + length, sizeof out.host - length, "/", name, ""))
            return ERROR_FILENAME_EXCED_RANGE;
        if (!last) {
            // Every name on the way must be a folder that is there.
            if (!exists || (!statusKnown && stat(out.host, &status) != 0) ||
                !S_ISDIR(status.st_mode))
                return ERROR_PATH_NOT_FOUND;
            out.folderDevice = status.st_dev;
            continue;
        }
        Compose(out.name, sizeof out.name, name, "", "");
        if (statusKnown)
            out.status = status;
        out.exists = exists && (statusKnown || stat(out.host, &out.status) == 0 ||
                                lstat(out.host, &out.status) == 0);
    }
    return ERROR_SUCCESS;
}

DWORD ResolveAnsiPath(const char *path, ResolvedPath &out)
{
    char text[HostPathRoom];
    if (!path)
        return ResolveWindowsPath(nullptr, out);
    if (!AnsiToUtf8(path, text, sizeof text))
        return ERROR_FILENAME_EXCED_RANGE;
    return ResolveWindowsPath(text, out);
}

bool WindowsPathOfHost(const char *hostPath, char *out, size_t room)
{
    char best = 0;
    size_t bestLength = 0;
    for (char letter = 'a'; letter <= 'z'; letter++) {
        char link[HostPathRoom];
        char target[PATH_MAX];
        struct stat status;
        // A drive is a folder: a link that leads to a file names no drive.
        if (!DriveLink(letter, link, sizeof link) || !realpath(link, target) ||
            stat(target, &status) != 0 || !S_ISDIR(status.st_mode))
            continue;
        size_t length = strlen(target);
        if (strcmp(target, "/") == 0)
            length = 0;
        else if (strncmp(hostPath, target, length) != 0 ||
                 (hostPath[length] != '/' && hostPath[length] != '\0'))
            continue;
        if (!best || length > bestLength) {
            best = letter;
            bestLength = length;
        }
    }
    if (!best || room < 4)
        return false;

    size_t used = 0;
    out[used++] = static_cast<char>(best - 0x20);
    out[used++] = ':';
    out[used++] = '\\';
    const char *rest = hostPath + bestLength;
    while (*rest == '/')
        rest++;
    for (; *rest; rest++) {
        if (used + 1 >= room) {
            out[0] = '\0';
            return false;
        }
        out[used++] = *rest == '/' ? '\\' : *rest;
    }
    out[used] = '\0';
    return true;
}

DWORD WindowsErrorOf(int hostError, DWORD missing)
{
    switch (hostError) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return missing;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
    case ENOTEMPTY:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EIO:
        return ERROR_IO_DEVICE;
    default:
        return ERROR_GEN_FAILURE;
    }
}
