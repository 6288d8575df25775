// The end-to-end robot: starts the installer, plays the user's part from a
// scenario and writes down what a person would have seen.
//
//   Robot.exe INSTALLER SCENARIO TRANSCRIPT [PAUSE-FOLDER]
//
// Scenario lines (anything else is an error; # starts a comment line):
//   type TEXT        the destination dialog's edit field gets TEXT (everything
//                    after "type ", blanks included)
//   press BUTTON     a button of the destination dialog, by its text
//   answer BUTTON    the answer to the next message box, by its button text
//   timeout SECONDS  the bound for the whole run (default 60)
// A message box that no "answer" line is waiting for gets OK, or its first button.
//
// The transcript has one JSON object a line: the desktop, every window of the
// installer when it first shows (caption, style, rectangles, controls), every
// message box (caption, text, icon, buttons, the answer and the progress
// window's status text at that moment), each action, and the exit code.
//
// With a pause folder the robot stops at the destination dialog, at each
// message box and, at the first message box shown while the progress window is
// open, at the progress window; it writes a "pause" line and waits until the
// file NAME.done appears in that folder: the screenshot tool photographs the
// screen meanwhile.
//
// Windows of another process are driven by messages: WM_SETTEXT for the edit
// field, with the text's Windows-1252 bytes; BM_CLICK posted to a button
// (posted, because the click may open a message box that the robot itself has
// to answer). Texts are read with WM_GETTEXT while the installer waits for
// input, and from the window's own text otherwise, which never waits for the
// installer's thread.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace
{

const wchar_t SetupCaption[] = L"Zarquel Software Installation";
const wchar_t ProgressCaption[] = L"Zarquel Software Installation Status";
const int StatusTextId = 201;
const int EditId = 101;
const DWORD PollMs = 20;

struct Action {
    std::string verb;
    std::string argument;
};

FILE *Transcript = nullptr;
std::vector<Action> Actions;
size_t NextAction = 0;
DWORD TimeoutMs = 60000;
DWORD StartTick = 0;
std::wstring PauseFolder;
bool ProgressPictured = false;

// ---- Text helpers -------------------------------------------------------

std::string Utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr,
                        nullptr);
    return out;
}

std::wstring Wide(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], size);
    return out;
}

// Windows-1252, the code page of the installer's texts; a character it lacks
// becomes '?'.
std::string Ansi(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int size =
        WideCharToMultiByte(1252, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(1252, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr, nullptr);
    return out;
}

std::string Json(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

std::string Json(const std::wstring &text)
{
    return Json(Utf8(text));
}

std::string Json(const RECT &r)
{
    char out[80];
    snprintf(out, sizeof out, "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right, r.bottom);
    return out;
}

void Write(const std::string &line)
{
    fprintf(Transcript, "%s\n", line.c_str());
    fflush(Transcript);
}

// ---- Reading windows of the installer -----------------------------------

std::wstring Caption(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

// The window's own text; never waits for the installer's thread.
std::wstring StoredText(HWND window)
{
    wchar_t text[1024] = L"";
    InternalGetWindowText(window, text, 1024);
    return text;
}

// The text a control gives when asked: an edit field keeps its text to itself.
// Falls back to the stored text when the owner does not answer in time.
std::wstring AskedText(HWND window)
{
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                             &copied))
        return StoredText(window);
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

RECT ClientOnScreen(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    POINT topLeft = {r.left, r.top};
    POINT bottomRight = {r.right, r.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

BOOL CALLBACK CollectChild(HWND window, LPARAM list)
{
    if (GetParent(window) != nullptr)
        ((std::vector<HWND> *)list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND window)
{
    std::vector<HWND> list;
    EnumChildWindows(window, CollectChild, (LPARAM)&list);
    return list;
}

struct Search {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM search)
{
    Search *s = (Search *)search;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == s->processId && IsWindowVisible(window))
        s->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD processId)
{
    Search search = {processId, {}};
    EnumWindows(CollectTopLevel, (LPARAM)&search);
    return search.windows;
}

bool IsMessageBox(HWND window)
{
    std::wstring caption = Caption(window);
    return ClassName(window) == L"#32770" && caption != SetupCaption && caption != ProgressCaption;
}

HWND FindByCaption(DWORD processId, const wchar_t *caption)
{
    for (HWND window : VisibleWindows(processId))
        if (Caption(window) == caption)
            return window;
    return nullptr;
}

std::string ControlsJson(HWND window)
{
    std::string out = "[";
    for (HWND child : Children(window)) {
        RECT r;
        GetWindowRect(child, &r);
        char head[160];
        snprintf(head, sizeof head, "{\"id\": %d, \"style\": %lu, \"visible\": %s, ",
                 GetDlgCtrlID(child), (unsigned long)GetWindowLongPtrW(child, GWL_STYLE),
                 IsWindowVisible(child) ? "true" : "false");
        if (out.size() > 1)
            out += ", ";
        out += head;
        out += "\"class\": " + Json(ClassName(child)) + ", \"text\": " + Json(AskedText(child)) +
               ", \"rect\": " + Json(r) + "}";
    }
    return out + "]";
}

std::string WindowJson(const char *event, HWND window, bool ask)
{
    RECT r;
    GetWindowRect(window, &r);
    char style[64];
    snprintf(style, sizeof style, "%lu", (unsigned long)GetWindowLongPtrW(window, GWL_STYLE));
    std::string out = std::string("{\"event\": \"") + event +
                      "\", \"caption\": " + Json(Caption(window)) +
                      ", \"class\": " + Json(ClassName(window)) + ", \"style\": " + style +
                      ", \"rect\": " + Json(r) + ", \"client\": " + Json(ClientOnScreen(window));
    if (ask)
        out += ", \"controls\": " + ControlsJson(window);
    else {
        // The installer may be busy copying: only stored texts are read.
        HWND status = GetDlgItem(window, StatusTextId);
        RECT s = {0, 0, 0, 0};
        if (status)
            GetWindowRect(status, &s);
        out += ", \"controls\": [{\"id\": 201, \"class\": " + Json(ClassName(status)) +
               ", \"text\": " + Json(StoredText(status)) + ", \"rect\": " + Json(s) + "}]";
    }
    return out + "}";
}

// ---- Message box icons --------------------------------------------------

// The icon of a message box is known only by its look: the screen under the
// icon control is compared with each standard icon drawn here.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
};

Picture Draw(HDC from, int x, int y, int width, int height, HICON icon, COLORREF background)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (icon) {
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(memory, 0, 0, width, height, from, x, y, SRCCOPY);
    }
    GdiFlush();
    const DWORD *p = (const DWORD *)bits;
    picture.pixels.assign(p, p + width * height);
    for (DWORD &pixel : picture.pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The share of the icon's opaque pixels that the screen shows unchanged.
double Likeness(const Picture &shown, HICON icon)
{
    Picture onBlack = Draw(nullptr, 0, 0, shown.width, shown.height, icon, RGB(0, 0, 0));
    Picture onWhite = Draw(nullptr, 0, 0, shown.width, shown.height, icon, RGB(255, 255, 255));
    int opaque = 0, same = 0;
    for (size_t i = 0; i < shown.pixels.size(); i++) {
        if (onBlack.pixels[i] != onWhite.pixels[i])
            continue;
        opaque++;
        if (onBlack.pixels[i] == shown.pixels[i])
            same++;
    }
    return opaque ? (double)same / opaque : 0.0;
}

std::string IconOf(HWND iconControl)
{
    if (!iconControl)
        return "none";
    struct Candidate {
        const char *name;
        LPCWSTR id;
    } candidates[] = {{"information", IDI_ASTERISK},
                      {"warning", IDI_EXCLAMATION},
                      {"error", IDI_HAND},
                      {"question", IDI_QUESTION}};
    RECT r;
    GetWindowRect(iconControl, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return "none";
    HDC screen = GetDC(nullptr);
    Picture shown = Draw(screen, r.left, r.top, width, height, nullptr, 0);
    ReleaseDC(nullptr, screen);
    const char *best = "unknown";
    double bestLikeness = 0.9; // below this the icon is not recognised
    for (const Candidate &c : candidates) {
        double likeness = Likeness(shown, LoadIconW(nullptr, c.id));
        if (likeness > bestLikeness) {
            bestLikeness = likeness;
            best = c.name;
        }
    }
    return best;
}

// ---- Actions --------------------------------------------------------------

bool TimedOut()
{
    return GetTickCount() - StartTick > TimeoutMs;
}

void Pause(const char *name, const std::string &details)
{
    if (PauseFolder.empty())
        return;
    Write(std::string("{\"event\": \"pause\", \"name\": \"") + name + "\"" + details + "}");
    std::wstring done = PauseFolder + L"\\" + Wide(name) + L".done";
    for (int waited = 0; waited < 30000 && !TimedOut(); waited += 50) {
        if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES)
            return;
        Sleep(50);
    }
}

HWND ButtonByText(HWND dialog, const std::string &text)
{
    for (HWND child : Children(dialog))
        if (ClassName(child) == L"Button" && IsWindowVisible(child) &&
            Utf8(AskedText(child)) == text)
            return child;
    return nullptr;
}

bool NextIs(const char *verb)
{
    return NextAction < Actions.size() && Actions[NextAction].verb == verb;
}

// Waits until `gone` reports true, or the process ends, or the run's time is up.
template <typename Condition> void WaitFor(HANDLE process, Condition done)
{
    while (!done() && WaitForSingleObject(process, 0) == WAIT_TIMEOUT && !TimedOut())
        Sleep(PollMs);
}

void HandleMessageBox(HANDLE process, DWORD processId, HWND box, int number)
{
    Sleep(300); // let the box paint itself before its icon is looked at
    HWND iconControl = nullptr;
    std::wstring text;
    std::vector<std::string> buttons;
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child))
            continue;
        std::wstring name = ClassName(child);
        if (name == L"Button") {
            buttons.push_back(Utf8(AskedText(child)));
        } else if (name == L"Static") {
            if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                iconControl = child;
            else if (text.empty())
                text = AskedText(child);
        }
    }
    std::string icon = IconOf(iconControl);
    for (int retry = 0; retry < 5 && icon == "unknown"; retry++) {
        Sleep(200);
        icon = IconOf(iconControl);
    }

    HWND progress = FindByCaption(processId, ProgressCaption);
    std::string status =
        progress ? Json(StoredText(GetDlgItem(progress, StatusTextId))) : std::string("null");

    std::string answer = buttons.empty() ? std::string() : buttons[0];
    bool scripted = false;
    for (const std::string &b : buttons)
        if (b == "OK")
            answer = "OK";
    if (NextIs("answer")) {
        answer = Actions[NextAction++].argument;
        scripted = true;
    }

    RECT r;
    GetWindowRect(box, &r);
    std::string buttonList = "[";
    for (const std::string &b : buttons)
        buttonList += (buttonList.size() > 1 ? ", " : "") + Json(b);
    buttonList += "]";
    Write("{\"event\": \"messagebox\", \"caption\": " + Json(Caption(box)) +
          ", \"text\": " + Json(text) + ", \"icon\": \"" + icon + "\", \"buttons\": " + buttonList +
          ", \"answer\": " + Json(answer) + ", \"scripted\": " + (scripted ? "true" : "false") +
          ", \"status\": " + status + ", \"rect\": " + Json(r) + "}");
    char name[32];
    snprintf(name, sizeof name, "messagebox-%d", number);
    Pause(name, ", \"rect\": " + Json(r));
    if (progress && !PauseFolder.empty() && !ProgressPictured) {
        // Wine puts the installer's drawing on the screen only while its
        // thread waits for messages, as it does now. The box, centred like
        // the progress window, is moved below it for the window's picture.
        RECT p;
        GetWindowRect(progress, &p);
        SetWindowPos(box, nullptr, r.left, p.bottom + 8, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Sleep(300);
        Pause("progress", ", \"rect\": " + Json(p));
        ProgressPictured = true;
    }

    HWND button = ButtonByText(box, answer);
    if (!button) {
        Write("{\"event\": \"error\", \"what\": " + Json("no button " + answer) + "}");
        button = ButtonByText(box, buttons.empty() ? "" : buttons[0]);
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    WaitFor(process, [box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void HandleSetupBox(HANDLE process, DWORD processId, HWND dialog)
{
    if (NextIs("type")) {
        // The installer is an ANSI program: the text goes to its edit field
        // as the Windows-1252 bytes that a person typing it would produce.
        const std::string &text = Actions[NextAction++].argument;
        std::string ansi = Ansi(Wide(text));
        HWND edit = GetDlgItem(dialog, EditId);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(edit, WM_SETTEXT, 0, (LPARAM)ansi.c_str(), SMTO_ABORTIFHUNG, 5000,
                            &result);
        Write("{\"event\": \"type\", \"text\": " + Json(text) +
              ", \"field\": " + Json(AskedText(edit)) + "}");
    } else if (NextIs("press")) {
        const std::string &text = Actions[NextAction++].argument;
        HWND button = ButtonByText(dialog, text);
        Write("{\"event\": \"press\", \"button\": " + Json(text) +
              ", \"found\": " + (button ? "true" : "false") +
              ", \"field\": " + Json(AskedText(GetDlgItem(dialog, EditId))) + "}");
        PostMessageW(button, BM_CLICK, 0, 0);
        // The click either ends the dialog or brings a message box.
        WaitFor(process, [&] {
            if (!IsWindow(dialog) || !IsWindowVisible(dialog))
                return true;
            for (HWND w : VisibleWindows(processId))
                if (IsMessageBox(w))
                    return true;
            return false;
        });
    } else {
        // Nothing more to do here: the dialog waits, and so would a person.
        Sleep(PollMs);
    }
}

bool ReadScenario(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (!file)
        return false;
    char line[1024];
    while (fgets(line, sizeof line, file)) {
        size_t n = strlen(line);
        while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
            line[--n] = '\0';
        if (n == 0 || line[0] == '#')
            continue;
        const char *space = strchr(line, ' ');
        Action action;
        action.verb = space ? std::string(line, space - line) : std::string(line);
        action.argument = space ? std::string(space + 1) : std::string();
        if (action.verb == "timeout") {
            TimeoutMs = (DWORD)atoi(action.argument.c_str()) * 1000;
            continue;
        }
        if (action.verb != "type" && action.verb != "press" && action.verb != "answer") {
            fprintf(stderr, "robot: unknown scenario line: %s\n", line);
            fclose(file);
            return false;
        }
        Actions.push_back(action);
    }
    fclose(file);
    return true;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: Robot.exe INSTALLER SCENARIO TRANSCRIPT [PAUSE-FOLDER]\n");
        return 2;
    }
    if (!ReadScenario(Utf8(argv[2]).c_str()))
        return 2;
    Transcript = _wfopen(argv[3], L"wb");
    if (!Transcript) {
        fprintf(stderr, "robot: cannot write the transcript\n");
        return 2;
    }
    if (argc > 4)
        PauseFolder = argv[4];
    StartTick = GetTickCount();

    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    Write("{\"event\": \"desktop\", \"rect\": " + Json(desktop) + "}");

    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, L"C:\\",
                        &startup, &process)) {
        Write("{\"event\": \"error\", \"what\": \"the installer did not start\"}");
        return 2;
    }
    Write("{\"event\": \"start\", \"program\": " + Json(std::wstring(argv[1])) + "}");

    std::vector<HWND> seen;
    std::wstring lastStatus;
    int boxes = 0;
    while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && !TimedOut()) {
        std::vector<HWND> windows = VisibleWindows(process.dwProcessId);
        HWND box = nullptr, setup = nullptr, progress = nullptr;
        for (HWND window : windows) {
            if (IsMessageBox(window))
                box = box ? box : window;
            else if (Caption(window) == SetupCaption)
                setup = window;
            else if (Caption(window) == ProgressCaption)
                progress = window;
        }
        if (progress) {
            std::wstring status = StoredText(GetDlgItem(progress, StatusTextId));
            bool first = true;
            for (HWND w : seen)
                first = first && w != progress;
            if (first) {
                seen.push_back(progress);
                Write(WindowJson("window", progress, false));
            }
            if (status != lastStatus) {
                Write("{\"event\": \"status\", \"text\": " + Json(status) + "}");
                lastStatus = status;
            }
        }
        if (box) {
            HandleMessageBox(process.hProcess, process.dwProcessId, box, ++boxes);
            continue;
        }
        if (setup) {
            bool first = true;
            for (HWND w : seen)
                first = first && w != setup;
            if (first) {
                seen.push_back(setup);
                Sleep(200); // let it paint before anything is read or photographed
                Write(WindowJson("window", setup, true));
                RECT r;
                GetWindowRect(setup, &r);
                Pause("setupbox", ", \"rect\": " + Json(r));
            }
            HandleSetupBox(process.hProcess, process.dwProcessId, setup);
            continue;
        }
        Sleep(PollMs);
    }

    int status = 0;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        Write("{\"event\": \"timeout\"}");
        TerminateProcess(process.hProcess, 99);
        status = 3;
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        Write("{\"event\": \"exit\", \"code\": " + std::to_string(code) + "}");
    }
    for (size_t i = NextAction; i < Actions.size(); i++)
        Write("{\"event\": \"unused\", \"verb\": " + Json(Actions[i].verb) +
              ", \"argument\": " + Json(Actions[i].argument) + "}");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    fclose(Transcript);
    return status;
}
