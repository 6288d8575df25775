// Off Windows: our own declarations of the Windows types, constants and
// operations that the installer uses, with the widths and values that Windows
// gives them, so that the installer's code compiles unchanged. Their
// implementations are chosen at link time: the host platform (platform/host)
// or the recording test double (tests/double).
#pragma once

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define STDMETHODCALLTYPE

// Integer types: Windows is LLP64, so LONG and DWORD stay 32 bits wide while
// the pointer-sized types follow the pointer.
typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef char16_t WCHAR; // UTF-16 unit: wchar_t is 32 bits wide off Windows
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef WCHAR *LPOLESTR;
typedef const WCHAR *LPCOLESTR;
typedef void *LPVOID;

#define TRUE 1
#define FALSE 0

// Handles are opaque pointers of distinct types, as with STRICT on Windows.
struct HWND__;
struct HINSTANCE__;
typedef HWND__ *HWND;
typedef HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT *LPRECT;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES *LPSECURITY_ATTRIBUTES;

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

inline WORD LOWORD(UINT_PTR value)
{
    return static_cast<WORD>(value & 0xFFFF);
}
inline WORD HIWORD(UINT_PTR value)
{
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
inline WPARAM MAKEWPARAM(WORD low, WORD high)
{
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// Messages
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define EM_LIMITTEXT 0x00C5
#define BM_CLICK 0x00F5

// Window, dialog and control styles
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define SS_LEFT 0x0L
#define ES_LEFT 0x0L
#define ES_AUTOHSCROLL 0x80L
#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_CENTER 0x300L

// Message boxes
#define MB_OK 0x0L
#define MB_OKCANCEL 0x1L
#define MB_ABORTRETRYIGNORE 0x2L
#define MB_RETRYCANCEL 0x5L
#define MB_ICONERROR 0x10L
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONQUESTION 0x20L
#define MB_ICONWARNING 0x30L
#define MB_ICONEXCLAMATION MB_ICONWARNING
#define MB_ICONINFORMATION 0x40L
#define MB_ICONASTERISK MB_ICONINFORMATION
#define MB_DEFBUTTON1 0x0L
#define MB_DEFBUTTON2 0x100L
#define MB_SYSTEMMODAL 0x1000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define SW_SHOWDEFAULT 10

// Last-error codes
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NOT_READY 21L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DIRECTORY 267L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

// Component-service statuses: negative is failure.
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

inline HRESULT HRESULT_FROM_WIN32(unsigned long code)
{
    return static_cast<HRESULT>(code) <= 0
               ? static_cast<HRESULT>(code)
               : static_cast<HRESULT>((code & 0x0000FFFF) | (7 << 16) | 0x80000000);
}

#define CLSCTX_INPROC_SERVER 0x1
#define CP_ACP 0

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const IID &REFIID;
typedef const CLSID &REFCLSID;

inline bool operator==(const GUID &a, const GUID &b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; i++)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
inline bool operator!=(const GUID &a, const GUID &b)
{
    return !(a == b);
}
#define IsEqualGUID(a, b) ((a) == (b))
#define IsEqualIID(a, b) ((a) == (b))

extern const IID IID_IUnknown;
extern const IID IID_IPersist;
extern const IID IID_IPersistFile;
extern const IID IID_IShellLinkA;
extern const CLSID CLSID_ShellLink;

// The component interfaces, with their documented method tables in order.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
typedef IUnknown *LPUNKNOWN;

struct IPersist : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID *classId) = 0;
};

struct IPersistFile : IPersist {
    virtual HRESULT STDMETHODCALLTYPE IsDirty() = 0;
    virtual HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR fileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR *fileName) = 0;
};

struct WIN32_FIND_DATAA;
struct ITEMIDLIST;
typedef ITEMIDLIST *PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST *PCIDLIST_ABSOLUTE;

struct IShellLinkA : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPath(LPSTR file, int size, WIN32_FIND_DATAA *data,
                                              DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE *list) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE list) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(LPSTR name, int size) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR dir, int size) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR dir) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArguments(LPSTR args, int size) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR args) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHotkey(WORD *hotkey) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHotkey(WORD hotkey) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetShowCmd(int *showCmd) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetShowCmd(int showCmd) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR iconPath, int size, int *icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR iconPath, int icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR pathRel, DWORD reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE Resolve(HWND window, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPath(LPCSTR file) = 0;
};

// Process and file services
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);
void WINAPI SetLastError(DWORD code);
DWORD WINAPI GetLastError();
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);
BOOL WINAPI CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);
int WINAPI lstrlenA(LPCSTR text);
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount,
                               LPWSTR wideChar, int wideCharCount);

// Window and dialog services
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam);
HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam);
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
BOOL WINAPI DestroyWindow(HWND window);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND WINAPI GetDlgItem(HWND dialog, int id);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
int WINAPI GetWindowTextA(HWND window, LPSTR text, int size);
HWND WINAPI SetFocus(HWND window);
BOOL WINAPI IsWindow(HWND window);
HWND WINAPI GetDesktopWindow();
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Component services
HRESULT WINAPI CoInitialize(LPVOID reserved);
HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID *object);

// The process entry that the platform's start-up code calls.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// ---------------------------------------------------------------------------
// Further Windows values and operations that the host platform (platform/host)
// implements or reports, beyond what the installer itself calls.

#define MAX_PATH 260
#define INFOTIPSIZE 1024
#define SW_SHOWNORMAL 1

#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_GEN_FAILURE 31L
#define ERROR_BAD_NETPATH 53L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_IO_DEVICE 1117L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)

#define MB_PRECOMPOSED 0x1
#define MB_ERR_INVALID_CHARS 0x8

void WINAPI CoUninitialize();
