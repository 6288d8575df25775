// The platform contract: what the installer relies on from each Windows
// operation it calls, checked against the platform this program is linked
// with. The same source runs on Windows (under Wine here) and against the
// host platform, so that a stand-in that quietly differs from Windows shows.
//
//   PlatformContract FOLDER
//
// FOLDER is an existing, empty scratch folder, written with its final
// separator ("C:\contract\"); the checks compose their paths with that same
// separator. One line is printed per check, then "N passed, N failed"; the
// exit status is 1 when a check failed.
#include "platform/WinApi.h"
#include "ResourceIds.h"

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

#define CHECK(condition) Check((condition), #condition, __LINE__)
#define CHECK_EQUAL(actual, expected) CheckEqual((actual), (expected), #actual, __LINE__)
#define CHECK_TEXT(actual, expected) CheckText((actual), (expected), #actual, __LINE__)

// ---- Paths in the scratch folder -----------------------------------------

char Scratch[200];
char Separator = '\\';

// Scratch folder + the parts, joined by the folder's own separator.
const char *PathOf(char *out, const char *a, const char *b = nullptr, const char *c = nullptr)
{
    snprintf(out, 260, "%s%s", Scratch, a);
    const char *parts[] = {b, c};
    for (const char *part : parts) {
        if (part == nullptr)
            continue;
        size_t n = strlen(out);
        snprintf(out + n, 260 - n, "%c%s", Separator, part);
    }
    return out;
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
    char path[260], inner[260];

    // Another failure leaves a stale last-error value behind; cleared, a
    // successful creation must read 0.
    SetLastError(ERROR_ACCESS_DENIED);
    CHECK_EQUAL(GetLastError(), ERROR_ACCESS_DENIED);
    CreateDirectoryA(PathOf(path, "missing", "parent"), nullptr);
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "Fresh"), nullptr) != FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);

    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "Fresh"), nullptr) == FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);

    // The destination folder always ends with its separator.
    snprintf(inner, sizeof inner, "%s%c", PathOf(path, "Trailing"), Separator);
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(inner, nullptr) != FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryA(inner, nullptr);
    CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);
    CHECK(WriteFile(PathOf(path, "Trailing", "inside.txt"), "in the new folder"));

    // Only the last level is made: a missing parent gives 3 and creates nothing.
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "No", "Such", "Place"), nullptr) == FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_PATH_NOT_FOUND);
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryA(PathOf(path, "No"), nullptr);
    CHECK_EQUAL(GetLastError(), ERROR_SUCCESS);

    // A file of that name counts as existing.
    CHECK(WriteFile(PathOf(path, "AFile"), "a file, not a folder"));
    SetLastError(ERROR_SUCCESS);
    CHECK(CreateDirectoryA(PathOf(path, "AFile"), nullptr) == FALSE);
    CHECK_EQUAL(GetLastError(), ERROR_ALREADY_EXISTS);
}

void FileCopy()
{
    Topic = "CopyFileA";
    char source[260], target[260], content[64];
    CHECK(WriteFile(PathOf(source, "source.dat"), "new content"));
    CHECK(WriteFile(PathOf(target, "target.dat"), "old content, longer than the new"));

    CHECK(CopyFileA(source, target, FALSE) != FALSE);
    CHECK_TEXT(ReadFile(target, content, sizeof content), "new content");
    CHECK_TEXT(ReadFile(source, content, sizeof content), "new content");

    CHECK(CopyFileA(source, PathOf(target, "fresh.dat"), FALSE) != FALSE);
    CHECK_TEXT(ReadFile(target, content, sizeof content), "new content");

    CHECK(CopyFileA(PathOf(source, "absent.dat"), PathOf(target, "never.dat"), FALSE) == FALSE);
    CHECK(OpenForReading(target) == nullptr);
    CHECK(CopyFileA(PathOf(source, "source.dat"), PathOf(target, "No", "Such", "x.dat"), FALSE) ==
          FALSE);
}

void PresenceProbe()
{
    Topic = "OpenForReading";
    char path[260];
    CHECK(WriteFile(PathOf(path, "Present.EXE"), "present"));
    FILE *file = OpenForReading(path);
    CHECK(file != nullptr);
    if (file != nullptr)
        CloseFile(file);
    CHECK(OpenForReading(PathOf(path, "Absent.EXE")) == nullptr);
    CHECK(CreateDirectoryA(PathOf(path, "AFolder.EXE"), nullptr) != FALSE);
    file = OpenForReading(path);
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
    if (argc != 2 || strlen(argv[1]) == 0 || strlen(argv[1]) >= sizeof Scratch - 40) {
        fprintf(stderr, "usage: PlatformContract FOLDER (an empty folder, with its separator)\n");
        return 2;
    }
    snprintf(Scratch, sizeof Scratch, "%s", argv[1]);
    Separator = Scratch[strlen(Scratch) - 1];
    if (Separator != '\\' && Separator != '/') {
        fprintf(stderr, "PlatformContract: the folder must end with its separator\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);

    FolderCreation();
    FileCopy();
    PresenceProbe();
    ProcessServices();
    DialogTemplates(instance);
    ProgressWindow(instance);

    printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
