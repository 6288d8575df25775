// The component services and the shell's link object: CoInitialize,
// CoCreateInstance for CLSID_ShellLink, and an object with IShellLinkA and
// IPersistFile whose Save writes a shell link file.
#include "platform/WinApi.h"

#include "platform/host/HostPaths.h"
#include "platform/host/HostText.h"
#include "platform/host/LinkFile.h"

#include <errno.h>
#include <fcntl.h>
#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

thread_local int ComInitializations = 0;

// Copies a text into a fixed property; false, leaving it unchanged, when it does not fit.
template <size_t Room> bool SetText(char (&field)[Room], const char *text)
{
    if (!text)
        return false;
    size_t length = strlen(text);
    if (length >= Room)
        return false;
    memcpy(field, text, length + 1);
    return true;
}

HRESULT GetText(const char *field, char *out, int size)
{
    if (!out || size <= 0)
        return E_INVALIDARG;
    size_t length = strlen(field);
    if (length >= static_cast<size_t>(size))
        length = static_cast<size_t>(size) - 1;
    memcpy(out, field, length);
    out[length] = '\0';
    return S_OK;
}

bool WriteAll(int file, const uint8_t *data, size_t size)
{
    while (size > 0) {
        ssize_t done = write(file, data, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

// What the link records of its target: attributes, times, size and the
// volume's serial number, all zero for a target that is not there.
void DescribeTarget(const char *target, LinkProperties &link)
{
    static ResolvedPath resolved;
    // The volume is known by its drive even when the target is not there yet.
    const char root[4] = {target[0], ':', '\\', '\0'};
    if (target[0] && target[1] == ':' && ResolveAnsiPath(root, resolved) == ERROR_SUCCESS) {
        uint64_t device = static_cast<uint64_t>(resolved.status.st_dev);
        link.driveSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    }
    if (ResolveAnsiPath(target, resolved) != ERROR_SUCCESS)
        return;
    if (!resolved.exists)
        return;
    const struct stat &status = resolved.status;
    link.targetAttributes =
        S_ISDIR(status.st_mode) ? LinkFileAttributeDirectory : LinkFileAttributeArchive;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        link.targetAttributes |= LinkFileAttributeReadOnly;
#if defined(__APPLE__)
    link.creationTime = FileTimeOf(status.st_mtimespec.tv_sec, status.st_mtimespec.tv_nsec);
    link.accessTime = FileTimeOf(status.st_atimespec.tv_sec, status.st_atimespec.tv_nsec);
    link.writeTime = link.creationTime;
#else
    link.creationTime = FileTimeOf(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    link.accessTime = FileTimeOf(status.st_atim.tv_sec, status.st_atim.tv_nsec);
    link.writeTime = link.creationTime;
#endif
    if (S_ISREG(status.st_mode))
        link.targetSize = static_cast<DWORD>(status.st_size);
}

class ShellLink final : public IShellLinkA, public IPersistFile
{
  public:
    // IUnknown, shared by both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA)
            *object = static_cast<IShellLinkA *>(this);
        else if (iid == IID_IPersistFile || iid == IID_IPersist)
            *object = static_cast<IPersistFile *>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --References;
        if (left == 0) {
            this->~ShellLink();
            free(this);
        }
        return left;
    }

    // IShellLinkA: the target, the working folder and the description.
    HRESULT STDMETHODCALLTYPE GetPath(LPSTR file, int size, WIN32_FIND_DATAA *, DWORD) override
    {
        HRESULT result = GetText(Path, file, size);
        return result == S_OK && !Path[0] ? S_FALSE : result;
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) override { return Set(Path, file); }
    HRESULT STDMETHODCALLTYPE GetDescription(LPSTR name, int size) override
    {
        return GetText(Description, name, size);
    }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) override
    {
        return Set(Description, name);
    }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR dir, int size) override
    {
        return GetText(WorkingFolder, dir, size);
    }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR dir) override
    {
        return Set(WorkingFolder, dir);
    }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int *showCmd) override
    {
        if (!showCmd)
            return E_INVALIDARG;
        *showCmd = ShowCommand;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int showCmd) override
    {
        ShowCommand = showCmd;
        Dirty = true;
        return S_OK;
    }
    // Properties that the installer never sets.
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetArguments(LPSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR, int, int *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }

    // IPersistFile
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *classId) override
    {
        if (!classId)
            return E_POINTER;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return Dirty ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR *) override { return E_NOTIMPL; }

  private:
    template <size_t Room> HRESULT Set(char (&field)[Room], const char *text)
    {
        if (!SetText(field, text))
            return E_INVALIDARG;
        Dirty = true;
        return S_OK;
    }

    ULONG References = 1;
    char Path[MAX_PATH] = "";
    char WorkingFolder[MAX_PATH] = "";
    char Description[INFOTIPSIZE] = "";
    int ShowCommand = SW_SHOWNORMAL;
    bool Dirty = false;
    char CurrentFile[HostPathRoom] = "";
};

HRESULT ShellLink::Save(LPCOLESTR fileName, BOOL remember)
{
    if (!fileName)
        return E_INVALIDARG;
    char windowsPath[HostPathRoom];
    if (!Utf16ToUtf8(fileName, windowsPath, sizeof windowsPath))
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    static ResolvedPath file;
    DWORD error = ResolveWindowsPath(windowsPath, file);
    if (error == ERROR_SUCCESS && (file.trailingSeparator || file.isRoot))
        error = ERROR_INVALID_NAME;
    if (error != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(error);
    // A folder, or a read-only file, of that name is not replaced.
    if (file.exists && (S_ISDIR(file.status.st_mode) ||
                        (file.status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        return E_ACCESSDENIED;

    LinkProperties link = {Path, WorkingFolder, Description, 0, 0, 0, 0, 0, 0, ShowCommand};
    DescribeTarget(Path, link);
    static uint8_t bytes[16384];
    size_t size = ComposeLinkFile(link, bytes, sizeof bytes);
    if (size == 0)
        return E_FAIL;

    // Written under a temporary name and renamed into place: the link file is
    // either whole or not there.
    char temporary[HostPathRoom];
    int written = snprintf(temporary, sizeof temporary, "%s/.zarquel-link-XXXXXX", file.folder);
    if (written < 0 || static_cast<size_t>(written) >= sizeof temporary)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    int output = mkostemp(temporary, O_CLOEXEC);
    if (output < 0)
        return HRESULT_FROM_WIN32(WindowsErrorOf(errno, ERROR_PATH_NOT_FOUND));
    mode_t mask = umask(0);
    umask(mask);
    bool saved = WriteAll(output, bytes, size) && fchmod(output, 0666 & ~mask) == 0;
    int cause = errno;
    if (close(output) != 0 && saved) {
        saved = false;
        cause = errno;
    }
    if (saved && rename(temporary, file.host) != 0) {
        saved = false;
        cause = errno;
    }
    if (!saved) {
        unlink(temporary);
        return HRESULT_FROM_WIN32(WindowsErrorOf(cause, ERROR_PATH_NOT_FOUND));
    }
    if (remember) {
        snprintf(CurrentFile, sizeof CurrentFile, "%s", windowsPath);
        Dirty = false;
    }
    return S_OK;
}

} // namespace

HRESULT WINAPI CoInitialize(LPVOID)
{
    return ComInitializations++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize()
{
    if (ComInitializations > 0)
        ComInitializations--;
}

HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID *object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (ComInitializations == 0)
        return CO_E_NOTINITIALIZED;
    if (classId != CLSID_ShellLink || !(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    // Allocated by the C library, so that the program needs no C++ runtime.
    void *memory = malloc(sizeof(ShellLink));
    if (!memory)
        return E_OUTOFMEMORY;
    ShellLink *link = new (memory) ShellLink;
    HRESULT result = link->QueryInterface(iid, object);
    link->Release(); // the interface asked for holds the only reference
    return result;
}
