#include "platform/host/HostPrefix.h"

#include <errno.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

char Prefix[HostPathRoom];
bool PrefixChosen = false;
const char *ChosenFolder = nullptr;
char ChosenFolderText[HostPathRoom];

bool Compose(char *out, size_t room, const char *first, const char *second)
{
    int length = snprintf(out, room, "%s%s", first, second);
    if (length < 0 || static_cast<size_t>(length) >= room) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void Warn(const char *what, const char *path)
{
    fprintf(stderr, "Install.EXE: cannot %s %s: %s\n", what, path, strerror(errno));
}

bool MakeFolder(const char *path)
{
    if (mkdir(path, 0777) == 0 || errno == EEXIST)
        return true;
    Warn("create the folder", path);
    return false;
}

// Creates every missing folder of an absolute path, as mkdir -p does.
bool MakeFolders(const char *path)
{
    char partial[HostPathRoom];
    if (!Compose(partial, sizeof partial, path, ""))
        return false;
    for (char *slash = strchr(partial + 1, '/'); slash; slash = strchr(slash + 1, '/')) {
        *slash = '\0';
        bool made = MakeFolder(partial);
        *slash = '/';
        if (!made)
            return false;
    }
    return MakeFolder(partial);
}

void MakeDriveLink(const char *target, const char *link)
{
    struct stat status;
    if (lstat(link, &status) == 0)
        return; // the user's own mapping stays
    if (symlink(target, link) != 0)
        Warn("create the drive link", link);
}

// A fresh prefix looks like a fresh Windows: C:\WINDOWS with its Start Menu,
// drive C: on drive_c and Z: on the host's root.
void SetUpPrefix(const char *prefix)
{
    char path[HostPathRoom];
    if (!Compose(path, sizeof path, prefix, "/drive_c"))
        return;
    struct stat status;
    if (lstat(path, &status) == 0)
        return;
    if (!MakeFolders(prefix))
        return;
    static const char *const Folders[] = {
        "/drive_c",
        "/drive_c/WINDOWS",
        "/drive_c/WINDOWS/Start Menu",
        "/drive_c/WINDOWS/Start Menu/Programs",
        "/dosdevices",
    };
    for (const char *folder : Folders)
        if (!Compose(path, sizeof path, prefix, folder) || !MakeFolder(path))
            return;
    if (Compose(path, sizeof path, prefix, "/dosdevices/c:"))
        MakeDriveLink("../drive_c", path);
    if (Compose(path, sizeof path, prefix, "/dosdevices/z:"))
        MakeDriveLink("/", path);
}

// The prefix folder named by the choice or the environment, made absolute.
void ChoosePrefix()
{
    Prefix[0] = '\0';
    const char *named = ChosenFolder ? ChosenFolder : getenv("ZARQUEL_PREFIX");
    char home[HostPathRoom];
    if (!named || !*named) {
        const char *homeFolder = getenv("HOME");
        if (!homeFolder || !*homeFolder) {
            const struct passwd *user = getpwuid(getuid());
            homeFolder = user ? user->pw_dir : nullptr;
        }
        if (!homeFolder || !Compose(home, sizeof home, homeFolder, "/.zarquel"))
            return;
        named = home;
    }
    if (named[0] == '/') {
        Compose(Prefix, sizeof Prefix, named, "");
    } else {
        char current[HostPathRoom];
        if (!getcwd(current, sizeof current))
            return;
        size_t length = strlen(current);
        if (length + 1 < sizeof current && current[length - 1] != '/')
            strcat(current, "/");
        Compose(Prefix, sizeof Prefix, current, named);
    }
    // No trailing slash, so that "/dosdevices" can be appended.
    size_t length = strlen(Prefix);
    while (length > 1 && Prefix[length - 1] == '/')
        Prefix[--length] = '\0';
    if (Prefix[0])
        SetUpPrefix(Prefix);
}

} // namespace

const char *PrefixFolder()
{
    if (!PrefixChosen) {
        ChoosePrefix();
        PrefixChosen = true;
    }
    return Prefix;
}

void UsePrefix(const char *hostFolder)
{
    ChosenFolder = nullptr;
    if (hostFolder && Compose(ChosenFolderText, sizeof ChosenFolderText, hostFolder, ""))
        ChosenFolder = ChosenFolderText;
    PrefixChosen = false;
}

namespace
{

// The host path of the link that a drive letter may have: "d:" (attempt 0) or
// "D:" (attempt 1). False without a prefix, a letter or the room for it.
bool DriveLinkName(char letter, int attempt, char *out, size_t room)
{
    const char *prefix = PrefixFolder();
    char lower = static_cast<char>(letter | 0x20);
    if (!prefix[0] || lower < 'a' || lower > 'z')
        return false;
    char name = attempt == 0 ? lower : static_cast<char>(lower - 0x20);
    int length = snprintf(out, room, "%s/dosdevices/%c:", prefix, name);
    return length >= 0 && static_cast<size_t>(length) < room;
}

} // namespace

bool DriveLink(char letter, char *out, size_t room)
{
    for (int attempt = 0; attempt < 2; attempt++) {
        if (!DriveLinkName(letter, attempt, out, room))
            return false;
        struct stat status;
        if (lstat(out, &status) == 0)
            return true;
    }
    return false;
}

bool DriveFolder(char letter, char *out, size_t room, struct stat &status)
{
    // One look-up in the common case: the link is there and leads to a folder.
    // Otherwise a link of that name that leads nowhere is still the drive's.
    for (int attempt = 0; attempt < 2; attempt++) {
        if (!DriveLinkName(letter, attempt, out, room))
            return false;
        if (stat(out, &status) == 0)
            return S_ISDIR(status.st_mode);
        struct stat link;
        if (lstat(out, &link) == 0)
            return false;
    }
    return false;
}
