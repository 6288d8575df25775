// The platform contract: what the installer relies on from each Windows
// operation it calls, checked against the platform this program is linked
// with. The same source runs on Windows (under Wine here) and against the
// host platform, so that a stand-in that quietly differs from Windows shows.
//
//   PlatformContract FOLDER [LOCAL-FOLDER]
//
// FOLDER is an existing, empty scratch folder as the installer would name it,
// a Windows path with its final backslash ("C:\contract\"); every platform
// operation is given paths inside it. LOCAL-FOLDER is the same folder as the C
// library names it, for the checks' own reading and writing of files (on
// Windows FOLDER itself, the default). The drive Q: must not exist.
//
// One line is printed per check, "ok   " or "FAIL " with the topic and the
// check, then "N passed, N failed"; the exit status is 1 when a check failed.
// The lines of two platforms are compared by tests/contract/compare-runs.
#include "platform/WinApi.h"
#include "ResourceIds.h"
#include "tests/contract/Wine.h"

#include <stdio.h>
#include <string.h>

namespace
{

int Passed = 0;
int Failed = 0;
const char *Topic = "";

void Check(bool condition, const char *what, int line)
{
    if (condition) {
        Passed++;
        printf("ok   %s: %s\n", Topic, what);
    } else {
        Failed++;
        printf("FAIL %s: %s (line %d)\n", Topic, what, line);
    }
    fflush(stdout);
}

void CheckEqual(long long actual, long long expected, const char *what, int line)
{
    if (actual == expected) {
        Passed++;
        printf("ok   %s: %s == %lld\n", Topic, what, expected);
    } else {
        Failed++;
        printf("FAIL %s: %s is %lld, expected %lld (line %d)\n", Topic, what, actual, expected,
               line);
    }
    fflush(stdout);
}

void CheckText(const char *actual, const char *expected, const char *what, int line)
{
    if (strcmp(actual, expected) == 0) {
        Passed++;
        printf("ok   %s: %s is \"%s\"\n", Topic, what, expected);
    } else {
        Failed++;
        printf("FAIL %s: %s is \"%s\", expected \"%s\" (line %d)\n", Topic, what, actual, expected,
               line);
    }
    fflush(stdout);
}

// Where Wine departs from Windows, the platform must give what Windows gives;
// under Wine its own answer is accepted too and the line says so, so that the
// comparison of two runs finds the recorded departure and nothing else.
void CheckWindowsValue(long long actual, long long windows, long long wine, const char *what,
                       int line)
{
    if (actual != windows && actual == wine && RunningUnderWine()) {
        Passed++;
        printf("ok   %s: %s == %lld (Wine; Windows gives %lld)\n", Topic, what, wine, windows);
        fflush(stdout);
        return;
    }
    CheckEqual(actual, windows, what, line);
}

#define CHECK(condition) Check((condition), #condition, __LINE__)
#define CHECK_EQUAL(actual, expected) CheckEqual((actual), (expected), #actual, __LINE__)
#define CHECK_TEXT(actual, expected) CheckText((actual), (expected), #actual, __LINE__)
#define CHECK_WINDOWS_VALUE(actual, windows, wine)                                                 \
    CheckWindowsValue((actual), (windows), (wine), #actual, __LINE__)

// ---- Paths in the scratch folder -----------------------------------------

char Scratch[200];      // the folder as the platform's operations get it
char LocalScratch[200]; // the same folder for the C library
char LocalSeparator = '\\';

// Joins the folder and the parts with `separator`.
const char *Join(char *out, const char *folder, char separator, const char *a, const char *b,
                 const char *c)
{
    snprintf(out, 260, "%s%s", folder, a);
    const char *parts[] = {b, c};
    for (const char *part : parts) {
        if (part == nullptr)
            continue;
        size_t n = strlen(out);
        snprintf(out + n, 260 - n, "%c%s", separator, part);
    }
    return out;
}

// The Windows path of an entry in the scratch folder.
const char *PathOf(char *out, const char *a, const char *b = nullptr, const char *c = nullptr)
{
    return Join(out, Scratch, '\\', a, b, c);
}

// The same entry as the C library names it.
const char *LocalPathOf(char *out, const char *a, const char *b = nullptr, const char *c = nullptr)
{
    return Join(out, LocalScratch, LocalSeparator, a, b, c);
}

bool WriteFile(const char *path, const char *content)
{
    FILE *file = fopen(path, "wb");
    if (file == nullptr)
        return false;
    fputs(content, file);
    return fclose(file) == 0;
}

// The whole content of a small file, or "(unreadable)".
const char *ReadFile(const char *path, char *out, size_t size)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return "(unreadable)";
    size_t n = fread(out, 1, size - 1, file);
    out[n] = '\0';
    fclose(file);
    return out;
}

// ---- File and process services --------------------------------------------

void FolderCreation()
{
    Topic = "CreateDirectoryA";
    char path[260], inner[260], local[260];

    // Another failure leaves a stale last-error value behind; cleared, a
    // successful creation must read 0.
    SetLastError(ERROR_ACCESS_DENIED);
    CHECK_EQUAL(GetLastError(), ERROR_ACCESS_DENIED);
    CreateDirectoryA(PathOf(path, "missing", "parent"), nullptr);
    CHECK_EQUAL(GetLastError(), ERROR_PATH_NOT_FOUND);
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "Fresh"), nullptr) != FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);

    // 183 for an existing folder, also when named in another letter case.
    const char *const names[] = {"Fresh", "FRESH", "fresh\\"};
    for (const char *name : names) {
        SetLastError(ERROR_SUCCESS);
        CHECK(CreateDirectoryA(PathOf(path, name), nullptr) == FALSE);
        CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);
    }

    // The destination folder always ends with a backslash.
    snprintf(inner, sizeof inner, "%s\\", PathOf(path, "Trailing"));
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(inner, nullptr) != FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryA(inner, nullptr);
    CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);
    CHECK(WriteFile(LocalPathOf(local, "Trailing", "inside.txt"), "in the new folder"));

    // Only the last level is made: a missing parent gives 3 and creates nothing.
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "No", "Such", "Place\\"), nullptr) == FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_PATH_NOT_FOUND);
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryA(PathOf(path, "No"), nullptr);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);

    // A file of that name counts as existing.
    CHECK(WriteFile(LocalPathOf(local, "AFile"), "a file, not a folder"));
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "AFile"), nullptr) == FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);

    // A folder on a drive that does not exist: 3 on Windows. Wine 8 answers 2
    // (ERROR_FILE_NOT_FOUND), a departure recorded here.
    Topic = "CreateDirectoryA on a missing drive";
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA("Q:\\Zarquel\\", nullptr) == FALSE);
    CHECK_WINDOWS_VALUE(GetLastError(), ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND);
}

void FileCopy()
{
    Topic = "CopyFileA";
    char source[260], target[260], local[260], content[64];
    CHECK(WriteFile(LocalPathOf(local, "source.dat"), "new content"));
    CHECK(WriteFile(LocalPathOf(local, "target.dat"), "old content, longer than the new"));

    // A target that exists is replaced, whatever its length.
    CHECK(CopyFileA(PathOf(source, "source.dat"), PathOf(target, "target.dat"), FALSE) != FALSE);
    CHECK_TEXT(ReadFile(LocalPathOf(local, "target.dat"), content, sizeof content), "new content");
    CHECK_TEXT(ReadFile(LocalPathOf(local, "source.dat"), content, sizeof content), "new content");

    // Also when named in another letter case: the file keeps its own name.
    CHECK(WriteFile(LocalPathOf(local, "other.dat"), "other"));
    CHECK(CopyFileA(PathOf(source, "other.dat"), PathOf(target, "TARGET.DAT"), FALSE) != FALSE);
    CHECK_TEXT(ReadFile(LocalPathOf(local, "target.dat"), content, sizeof content), "other");

    CHECK(CopyFileA(PathOf(source, "source.dat"), PathOf(target, "fresh.dat"), FALSE) != FALSE);
    CHECK_TEXT(ReadFile(LocalPathOf(local, "fresh.dat"), content, sizeof content), "new content");

    // A failed copy creates nothing.
    CHECK(CopyFileA(PathOf(source, "absent.dat"), PathOf(target, "never.dat"), FALSE) == FALSE);
    CHECK(OpenForReading(target) == nullptr);
    CHECK(CopyFileA(PathOf(source, "source.dat"), PathOf(target, "No", "Such", "x.dat"), FALSE) ==
          FALSE);
}

void PresenceProbe()
{
    Topic = "OpenForReading";
    char path[260], local[260];
    CHECK(WriteFile(LocalPathOf(local, "Present.EXE"), "present"));
    const char *const present[] = {"Present.EXE", "present.exe"};
    for (const char *name : present) {
        FILE *file = OpenForReading(PathOf(path, name));
        CHECK(file != nullptr);
        if (file != nullptr)
            CloseFile(file);
    }
    CHECK(OpenForReading(PathOf(path, "Absent.EXE")) == nullptr);
    CHECK(CreateDirectoryA(PathOf(path, "AFolder.EXE"), nullptr) != FALSE);
    FILE *file = OpenForReading(path);
    CHECK(file == nullptr); // a folder is not a file that can be read
    if (file != nullptr)
        CloseFile(file);
}

void ProcessServices()
{
    Topic = "process services";
    char path[300];
    memset(path, 'x', sizeof path);
    GetWindowsDirectoryA(path, 240);
    size_t n = strlen(path);
    CHECK(n > 0 && n < 240);
    CHECK(n > 0 && path[n - 1] != '\\' && path[n - 1] != '/');

    memset(path, 'x', sizeof path);
    GetModuleFileNameA(GetModuleHandleA(nullptr), path, 260);
    n = strlen(path);
    CHECK(n > 0 && n < 260);
    CHECK(strstr(path, "PlatformContract") != nullptr);

    CHECK_EQUAL(lstrlenA("  Copying Zarquel.TXT"), 21);
    CHECK_EQUAL(lstrlenA(""), 0);

    WCHAR wide[16];
    CHECK_EQUAL(MultiByteToWideChar(CP_ACP, 0, "Zarquel", -1, wide, 16), 8);
    CHECK(wide[0] == 'Z' && wide[6] == 'l' && wide[7] == 0);
}

// ---- Window and dialog services -------------------------------------------

int InitCount = 0;
int CloseCount = 0;

INT_PTR CALLBACK CountingProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitCount++;
        return 1;
    case WM_CLOSE:
        CloseCount++;
        DestroyWindow(window);
        return 1;
    }
    return 0;
}

INT_PTR CALLBACK EndAtOnceProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        EndDialog(window, 7);
        return 1;
    }
    return 0;
}

void DialogTemplates(HINSTANCE instance)
{
    Topic = "dialog templates";
    char text[300];

    // Opened by the mixed-case names, stored in capitals.
    InitCount = 0;
    HWND setup = CreateDialogParamA(instance, "SetupBox", nullptr, CountingProc, 0);
    CHECK(setup != nullptr);
    CHECK_EQUAL(InitCount, 1); // initialised before the call returns
    GetWindowTextA(setup, text, sizeof text);
    CHECK_TEXT(text, "Zarquel Software Installation");
    const int ids[] = {DestFolderEdit, ProgramsFolderText, IDOK, IDCANCEL};
    for (int id : ids)
        CHECK(GetDlgItem(setup, id) != nullptr);

    Topic = "GetDlgItemTextA";
    char longEntry[301];
    memset(longEntry, 'a', 300);
    longEntry[300] = '\0';
    SendMessageA(GetDlgItem(setup, DestFolderEdit), EM_LIMITTEXT, 260, 0);
    SetDlgItemTextA(setup, DestFolderEdit, longEntry);
    memset(text, '#', sizeof text);
    GetDlgItemTextA(setup, DestFolderEdit, text, 260);
    CHECK_EQUAL((long long)strlen(text), 259);
    CHECK(text[260] == '#'); // nothing written beyond the given size
    SetDlgItemTextA(setup, DestFolderEdit, "C:\\Zarquel\\");
    GetDlgItemTextA(setup, DestFolderEdit, text, 260);
    CHECK_TEXT(text, "C:\\Zarquel\\");

    Topic = "window rectangles";
    RECT desktop = {1, 1, 0, 0};
    GetWindowRect(GetDesktopWindow(), &desktop);
    CHECK(desktop.left == 0 && desktop.top == 0);
    CHECK(desktop.right > 0 && desktop.bottom > 0);
    RECT r = {0, 0, 0, 0};
    MoveWindow(setup, 10, 20, 300, 150, FALSE);
    GetWindowRect(setup, &r);
    CHECK(r.left == 10 && r.top == 20 && r.right == 310 && r.bottom == 170);
    // A window larger than the desktop is placed at a negative position.
    MoveWindow(setup, -2, -3, 300, 150, FALSE);
    GetWindowRect(setup, &r);
    CHECK(r.left == -2 && r.top == -3 && r.right == 298 && r.bottom == 147);
    DestroyWindow(setup);
    CHECK(!IsWindow(setup));

    Topic = "DialogBoxParamA";
    CHECK_EQUAL(DialogBoxParamA(instance, "SetupBox", nullptr, EndAtOnceProc, 0), 7);
    CHECK_EQUAL(DialogBoxParamA(instance, "NoSuchBox", nullptr, EndAtOnceProc, 0), -1);
}

// The templates are stored as SETUPBOX and SHOWBOX; the installer names them
// "SetupBox" and "ShowBox". Names are matched without regard to case.
void TemplateNames(HINSTANCE instance)
{
    static const struct {
        const char *name;
        const char *caption;
    } Names[] = {
        {"SetupBox", "Zarquel Software Installation"},
        {"setupbox", "Zarquel Software Installation"},
        {"SETUPBOX", "Zarquel Software Installation"},
        {"ShowBox", "Zarquel Software Installation Status"},
        {"showBOX", "Zarquel Software Installation Status"},
    };
    char topic[64], text[100];
    for (const auto &entry : Names) {
        snprintf(topic, sizeof topic, "template name \"%s\"", entry.name);
        Topic = topic;
        HWND window = CreateDialogParamA(instance, entry.name, nullptr, CountingProc, 0);
        CHECK(window != nullptr);
        text[0] = '\0';
        GetWindowTextA(window, text, sizeof text);
        CHECK_TEXT(text, entry.caption);
        DestroyWindow(window);
        CHECK_EQUAL(DialogBoxParamA(instance, entry.name, nullptr, EndAtOnceProc, 0), 7);
    }
}

void ProgressWindow(HINSTANCE instance)
{
    Topic = "progress window";
    char text[100];
    InitCount = CloseCount = 0;
    HWND show = CreateDialogParamA(instance, "ShowBox", nullptr, CountingProc, 0);
    CHECK(show != nullptr);
    CHECK_EQUAL(InitCount, 1);
    HWND status = GetDlgItem(show, StatusText);
    CHECK(status != nullptr);
    SetWindowTextA(status, "  Copying Zarquel.TXT");
    GetWindowTextA(status, text, sizeof text);
    CHECK_TEXT(text, "  Copying Zarquel.TXT");

    // The close request is handled before SendMessageA returns.
    SendMessageA(show, WM_CLOSE, 0, 0);
    CHECK_EQUAL(CloseCount, 1);
    CHECK(!IsWindow(show));
    CHECK(!IsWindow(status));

    Topic = "vanished and null windows";
    CHECK_EQUAL(SendMessageA(show, WM_CLOSE, 0, 0), 0);
    CHECK_EQUAL(CloseCount, 1);
    CHECK(SetWindowTextA(status, "  after the close") == FALSE);

    // A null handle reaches no window: a live one keeps its text.
    HWND other = CreateDialogParamA(instance, "ShowBox", nullptr, CountingProc, 0);
    SetWindowTextA(GetDlgItem(other, StatusText), "  Please wait...");
    CHECK(SetWindowTextA(nullptr, "  Creating Start Menu shortcuts...") == FALSE);
    CHECK_EQUAL(SendMessageA(nullptr, WM_CLOSE, 0, 0), 0);
    GetWindowTextA(GetDlgItem(other, StatusText), text, sizeof text);
    CHECK_TEXT(text, "  Please wait...");
    CHECK(IsWindow(other));
    DestroyWindow(other);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3 || strlen(argv[1]) == 0 || strlen(argv[1]) >= sizeof Scratch - 40 ||
        strlen(argv[argc - 1]) >= sizeof LocalScratch - 40) {
        fprintf(stderr, "usage: PlatformContract FOLDER [LOCAL-FOLDER] (an empty folder, "
                        "with its final separator)\n");
        return 2;
    }
    snprintf(Scratch, sizeof Scratch, "%s", argv[1]);
    snprintf(LocalScratch, sizeof LocalScratch, "%s", argv[argc - 1]);
    LocalSeparator = LocalScratch[strlen(LocalScratch) - 1];
    if (Scratch[strlen(Scratch) - 1] != '\\' || (LocalSeparator != '\\' && LocalSeparator != '/')) {
        fprintf(stderr, "PlatformContract: a folder must end with its separator\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);

    FolderCreation();
    FileCopy();
    PresenceProbe();
    ProcessServices();
    DialogTemplates(instance);
    TemplateNames(instance);
    ProgressWindow(instance);

    printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
