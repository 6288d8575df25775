// The kernel services of the host platform: the module, the Windows directory,
// the last-error value, folders, file copies, the presence probe and the ANSI
// code page.
#include "platform/WinApi.h"

#include "platform/host/HostModule.h"
#include "platform/host/HostPaths.h"
#include "platform/host/HostText.h"
#include "platform/posix/Codepage.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/sendfile.h>
#endif
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif
#if defined(__linux__)
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace
{

thread_local DWORD LastError = ERROR_SUCCESS;

// What GetModuleHandleA(nullptr) hands out: any distinct non-null value.
char ProgramModule;

char ProgramPath[HostPathRoom];

const char WindowsDirectory[] = "C:\\WINDOWS";

BOOL Fail(DWORD code)
{
    LastError = code;
    return FALSE;
}

bool IsReadOnly(const struct stat &status)
{
    // Windows' read-only attribute: nobody may write. Permission bits alone
    // would stop no one on a machine that runs as root.
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

enum CopyStep { Copied, Failed, NotOffered };

// A host error that says the means of copying is not offered for this pair of
// files (file system, kernel), rather than that the copy went wrong.
bool IsNotOffered(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == ENOTTY || error == EBADF;
}

#if defined(__linux__)
// The last pair of devices on which a clone was refused: the next copy between
// them goes straight to the in-kernel copy.
struct {
    bool known;
    dev_t source;
    dev_t target;
} NoClone;

// Shares the source's blocks with the target where the file system can.
CopyStep CloneData(int source, int target, const struct stat &sourceStatus, dev_t targetDevice)
{
    if (NoClone.known && NoClone.source == sourceStatus.st_dev && NoClone.target == targetDevice)
        return NotOffered;
    if (ioctl(target, FICLONE, source) == 0)
        return Copied;
    // Whatever stops a clone, the data can still be copied.
    if (IsNotOffered(errno))
        NoClone = {true, sourceStatus.st_dev, targetDevice};
    return NotOffered;
}

// Copies in the kernel, from the files' current offsets, until `left` bytes
// have moved or the source ends: copy_file_range, else sendfile.
CopyStep CopyInKernel(int source, int target, off_t left)
{
    bool ranges = true;
    while (left > 0) {
        size_t chunk = left < (1 << 30) ? static_cast<size_t>(left) : (1 << 30);
        ssize_t done = ranges ? copy_file_range(source, nullptr, target, nullptr, chunk, 0)
                              : sendfile(target, source, nullptr, chunk);
        if (done == 0)
            return Copied; // the source became shorter
        if (done > 0) {
            left -= done;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (!IsNotOffered(errno))
            return Failed;
        // Both offsets stand after what has been copied: go on another way.
        if (!ranges)
            return NotOffered;
        ranges = false;
    }
    return Copied;
}
#endif

// Reads and writes, from the files' current offsets to the source's end.
bool CopyThroughBuffer(int source, int target)
{
    static char buffer[1 << 16];
    for (;;) {
        ssize_t got = read(source, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t written = 0; written < got;) {
            ssize_t done = write(target, buffer + written, static_cast<size_t>(got - written));
            if (done < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            written += done;
        }
    }
}

// Copies the data of one open file into a new, empty one by the fastest means
// the host offers: a shared clone, an in-kernel copy, or reads and writes.
bool CopyData(int source, int target, const struct stat &sourceStatus, dev_t targetDevice)
{
#if defined(__linux__)
    CopyStep step = CloneData(source, target, sourceStatus, targetDevice);
    if (step != NotOffered)
        return step == Copied;
    // A size of 0 may hide data that only reading shows (as in /proc).
    if (sourceStatus.st_size > 0) {
        step = CopyInKernel(source, target, sourceStatus.st_size);
        if (step != NotOffered)
            return step == Copied;
    }
#else
    (void)sourceStatus;
    (void)targetDevice;
#endif
    return CopyThroughBuffer(source, target);
}

// Creates a new file of a free temporary name in `folder`, for writing, with
// the permission bits `mode` less the umask. Returns the descriptor, or -1
// with errno set.
int CreateTemporary(const char *folder, mode_t mode, char *name, size_t room)
{
    static unsigned counter;
    static unsigned long process;
    if (process == 0)
        process = static_cast<unsigned long>(getpid());
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; attempt++) {
        unsigned long seed =
            process * 7919ul + counter++ * 104729ul + static_cast<unsigned long>(attempt) * 131ul;
        char suffix[7];
        for (int i = 0; i < 6; i++, seed /= 36)
            suffix[i] = Letters[seed % 36];
        suffix[6] = '\0';
        int written = snprintf(name, room, "%s/.zarquel-copy-%s", folder, suffix);
        if (written < 0 || static_cast<size_t>(written) >= room) {
            errno = ENAMETOOLONG;
            return -1;
        }
        int file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (file >= 0 || errno != EEXIST)
            return file;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

void RememberProgramPath(const char *argument0)
{
    ProgramPath[0] = '\0';
    if (!argument0 || !strchr(argument0, '/'))
        return;
    char folder[HostPathRoom];
    const char *slash = strrchr(argument0, '/');
    size_t length = static_cast<size_t>(slash - argument0);
    if (length == 0 || length >= sizeof folder)
        length = 1; // "/Install.EXE": the root
    memcpy(folder, argument0, length);
    folder[length] = '\0';
    char resolved[PATH_MAX];
    if (!realpath(folder, resolved))
        return;
    int written = snprintf(ProgramPath, sizeof ProgramPath, "%s/%s",
                           strcmp(resolved, "/") == 0 ? "" : resolved, slash + 1);
    if (written < 0 || static_cast<size_t>(written) >= sizeof ProgramPath)
        ProgramPath[0] = '\0';
}

bool ProgramHostPath(char *out, unsigned long room)
{
    if (ProgramPath[0]) {
        int written = snprintf(out, room, "%s", ProgramPath);
        return written >= 0 && static_cast<unsigned long>(written) < room;
    }
#if defined(__APPLE__)
    char raw[HostPathRoom];
    uint32_t size = sizeof raw;
    char resolved[PATH_MAX];
    if (_NSGetExecutablePath(raw, &size) != 0 || !realpath(raw, resolved))
        return false;
    int written = snprintf(out, room, "%s", resolved);
    return written >= 0 && static_cast<unsigned long>(written) < room;
#else
    ssize_t length = readlink("/proc/self/exe", out, room - 1);
    if (length <= 0 || static_cast<unsigned long>(length) >= room - 1)
        return false;
    out[length] = '\0';
    return true;
#endif
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (moduleName) {
        LastError = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&ProgramModule);
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    if (module && module != reinterpret_cast<HMODULE>(&ProgramModule)) {
        LastError = ERROR_MOD_NOT_FOUND;
        return 0;
    }
    char host[HostPathRoom];
    char windows[HostPathRoom];
    char ansi[HostPathRoom];
    if (!ProgramHostPath(host, sizeof host) || !WindowsPathOfHost(host, windows, sizeof windows) ||
        !Utf8ToAnsi(windows, ansi, sizeof ansi)) {
        LastError = ERROR_PATH_NOT_FOUND;
        return 0;
    }
    if (size == 0) {
        LastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    DWORD length = static_cast<DWORD>(strlen(ansi));
    if (length >= size) {
        // As Windows does: the name cut to size - 1 characters and terminated,
        // the result the full size, the last error "insufficient buffer".
        memcpy(fileName, ansi, size - 1);
        fileName[size - 1] = '\0';
        LastError = ERROR_INSUFFICIENT_BUFFER;
        return size;
    }
    memcpy(fileName, ansi, length + 1);
    return length;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    PrefixFolder(); // a fresh prefix gets its C:\WINDOWS
    UINT length = sizeof WindowsDirectory - 1;
    if (!buffer || size <= length)
        return length + 1; // the room needed, terminator included
    memcpy(buffer, WindowsDirectory, length + 1);
    return length;
}

void WINAPI SetLastError(DWORD code)
{
    LastError = code;
}

DWORD WINAPI GetLastError()
{
    return LastError;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES)
{
    static ResolvedPath path;
    DWORD error = ResolveAnsiPath(pathName, path);
    if (error != ERROR_SUCCESS)
        return Fail(error);
    // Windows keeps room for an 8.3 file name in a new folder: 248 characters at most.
    if (path.windowsLength - (path.trailingSeparator ? 1 : 0) >= MAX_PATH - 12)
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    if (path.isRoot)
        return Fail(ERROR_ACCESS_DENIED);
    if (path.exists)
        return Fail(ERROR_ALREADY_EXISTS);
    if (mkdir(path.host, 0777) != 0)
        return Fail(WindowsErrorOf(errno, ERROR_PATH_NOT_FOUND));
    // Success leaves the last error as it was.
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists)
{
    static ResolvedPath source;
    static ResolvedPath target;
    DWORD error = ResolveAnsiPath(existingFileName, source);
    if (error != ERROR_SUCCESS)
        return Fail(error);
    if (source.trailingSeparator)
        return Fail(ERROR_INVALID_NAME);
    if (!source.exists)
        return Fail(ERROR_FILE_NOT_FOUND);
    // A folder cannot be opened as a file.
    if (source.isRoot || S_ISDIR(source.status.st_mode))
        return Fail(ERROR_ACCESS_DENIED);

    error = ResolveAnsiPath(newFileName, target);
    if (error != ERROR_SUCCESS)
        return Fail(error);
    if (target.trailingSeparator)
        return Fail(ERROR_INVALID_NAME);
    if (target.exists) {
        if (failIfExists)
            return Fail(ERROR_FILE_EXISTS);
        if (target.isRoot || S_ISDIR(target.status.st_mode) || IsReadOnly(target.status))
            return Fail(ERROR_ACCESS_DENIED);
        // The source is open for reading, sharing no writes: Windows refuses
        // to open it again for writing as the target.
        if (target.status.st_dev == source.status.st_dev &&
            target.status.st_ino == source.status.st_ino)
            return Fail(ERROR_SHARING_VIOLATION);
    }

    int input = open(source.host, O_RDONLY | O_CLOEXEC);
    if (input < 0)
        return Fail(WindowsErrorOf(errno, ERROR_FILE_NOT_FOUND));
    struct stat status;
    if (fstat(input, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(input);
        return Fail(ERROR_ACCESS_DENIED);
    }

    // The copy is written under a temporary name beside the target and renamed
    // over it only when complete, so the target's name never shows half a file.
    // Like Windows, the copy keeps the source's attributes (read-only among
    // them; the umask applies as at any creation) and its time of last change.
    char temporary[HostPathRoom];
    int output = CreateTemporary(target.folder, status.st_mode & 0777, temporary, sizeof temporary);
    if (output < 0) {
        int cause = errno;
        close(input);
        return Fail(cause == ENAMETOOLONG ? ERROR_FILENAME_EXCED_RANGE
                                          : WindowsErrorOf(cause, ERROR_PATH_NOT_FOUND));
    }
#if defined(__APPLE__)
    struct timespec times[2] = {status.st_atimespec, status.st_mtimespec};
#else
    struct timespec times[2] = {status.st_atim, status.st_mtim};
#endif
    // The data goes into the temporary file, on the device of the target's folder.
    bool copied =
        CopyData(input, output, status, target.folderDevice) && futimens(output, times) == 0;
    int cause = errno;
    if (close(output) != 0 && copied) {
        copied = false;
        cause = errno;
    }
    close(input);
    if (copied && rename(temporary, target.host) != 0) {
        copied = false;
        cause = errno;
    }
    if (!copied) {
        unlink(temporary);
        return Fail(WindowsErrorOf(cause, ERROR_PATH_NOT_FOUND));
    }
    return TRUE;
}

FILE *OpenForReading(const char *path)
{
    static ResolvedPath resolved;
    DWORD error = ResolveAnsiPath(path, resolved);
    if (error == ERROR_SUCCESS && (resolved.trailingSeparator || resolved.isRoot))
        error = ERROR_INVALID_NAME;
    if (error == ERROR_SUCCESS && !resolved.exists)
        error = ERROR_FILE_NOT_FOUND;
    if (error != ERROR_SUCCESS) {
        LastError = error;
        return nullptr;
    }
    // A folder is not a file that can be read.
    if (S_ISDIR(resolved.status.st_mode)) {
        LastError = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    int file = open(resolved.host, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        LastError = WindowsErrorOf(errno, ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    FILE *stream = fdopen(file, "rb");
    if (!stream) {
        LastError = WindowsErrorOf(errno, ERROR_FILE_NOT_FOUND);
        close(file);
    }
    return stream;
}

void CloseFile(FILE *file)
{
    if (file)
        fclose(file);
}

int WINAPI lstrlenA(LPCSTR text)
{
    return text ? static_cast<int>(strlen(text)) : 0;
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount,
                               LPWSTR wideChar, int wideCharCount)
{
    // The ANSI code page is Windows-1252, whichever way it is named.
    if (codePage != CP_ACP && codePage != 1252) {
        LastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if ((flags & ~static_cast<DWORD>(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) {
        LastError = ERROR_INVALID_FLAGS;
        return 0;
    }
    if (!multiByte || multiByteCount == 0 || multiByteCount < -1 || wideCharCount < 0 ||
        (!wideChar && wideCharCount > 0) ||
        (wideChar && static_cast<const void *>(wideChar) == static_cast<const void *>(multiByte))) {
        LastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    // -1: the whole text and its terminating zero.
    size_t count =
        multiByteCount == -1 ? strlen(multiByte) + 1 : static_cast<size_t>(multiByteCount);
    if (wideCharCount == 0)
        return static_cast<int>(count); // the room needed
    // Every byte of the code page is one UTF-16 unit.
    for (size_t i = 0; i < count && i < static_cast<size_t>(wideCharCount); i++)
        wideChar[i] = AnsiToUnicode(static_cast<unsigned char>(multiByte[i]));
    if (count > static_cast<size_t>(wideCharCount)) {
        LastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    return static_cast<int>(count);
}
