// The window and dialog operations of the host: dialogs made from the
// templates of the installer's compiled resource file, their controls, texts,
// rectangles and messages, and the modal loops of dialogs and message boxes,
// which wait on the terminal front end. Everything runs on the one thread,
// and every message is delivered at once: there is no message queue.
#include "platform/host/ui/WindowTable.h"

#include "platform/host/ui/EmbeddedResource.h"
#include "platform/host/ui/Terminal.h"
#include "platform/host/ui/Trace.h"

#include <string.h>

namespace HostUi
{

Window WindowTable[MaxWindows];

namespace
{

// Last-error codes that the declarations of the installer do not need.
const DWORD ErrorInvalidData = 13;
const DWORD ErrorCannotFindWindowClass = 1407;
const DWORD ErrorControlIdNotFound = 1421;
const DWORD ErrorInvalidMessageBoxStyle = 1438;

const UINT WmDestroy = 0x0002;
const WORD ButtonClicked = 0; // BN_CLICKED
const UINT MessageBoxTypeMask = 0xF;

// Non-client metrics of the classic Windows look: a dialog frame of 3 pixels
// on each side and a title bar of 19 pixels; a thin border of 1 pixel.
const int DialogFrame = 3;
const int ThinBorder = 1;
const int CaptionHeight = 19;
const DWORD WsDialogFrame = 0x00400000L;

int Focus = -1;
int DialogsMade = 0;
bool DesktopReady = false;

void PrepareDesktop()
{
    if (DesktopReady)
        return;
    DesktopReady = true;
    Window &desktop = WindowTable[0];
    desktop.kind = DesktopKind;
    desktop.generation = 1;
    desktop.parent = -1;
    desktop.rect = {0, 0, DesktopWidth, DesktopHeight};
}

int Allocate()
{
    for (int i = 1; i < MaxWindows; i++) {
        Window &window = WindowTable[i];
        if (window.kind != FreeSlot)
            continue;
        WORD generation = static_cast<WORD>(window.generation + 1);
        memset(&window, 0, sizeof window);
        window.generation = generation == 0 ? 1 : generation;
        window.parent = -1;
        return i;
    }
    return -1;
}

int FreeSlots()
{
    int count = 0;
    for (int i = 1; i < MaxWindows; i++)
        count += WindowTable[i].kind == FreeSlot;
    return count;
}

// MulDiv: the product divided, rounded half away from zero.
int Scale(int value, int numerator, int denominator)
{
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

// Dialog base units in pixels (average character width, character height),
// at 96 dots per inch. A template font of n points is n * 96 / 72 pixels high
// plus 2 of leading, and its average width is 6/13 of its height, rounded:
// MS Sans Serif 8 gives 6 x 13, 10 gives 7 x 16. Without a template font the
// dialog uses the System font, 8 x 16.
void BaseUnits(const DialogTemplate &dialog, int *x, int *y)
{
    if (!(dialog.style & DS_SETFONT) || dialog.pointSize == 0 || dialog.pointSize > 200) {
        *x = 8;
        *y = 16;
        return;
    }
    *y = (dialog.pointSize * 96 + 71) / 72 + 2;
    *x = (*y * 6 + 6) / 13;
}

bool IsSupportedClass(const NameOrOrdinal &windowClass, WORD *atom)
{
    if (windowClass.isOrdinal) {
        *atom = windowClass.ordinal;
        return *atom == ButtonAtom || *atom == EditAtom || *atom == StaticAtom;
    }
    static const struct {
        const char *name;
        WORD atom;
    } Names[] = {{"BUTTON", ButtonAtom}, {"EDIT", EditAtom}, {"STATIC", StaticAtom}};
    for (const auto &entry : Names) {
        if (strcasecmp(windowClass.text, entry.name) == 0) {
            *atom = entry.atom;
            return true;
        }
    }
    return false;
}

void SetText(int index, const char *text)
{
    Window &window = WindowTable[index];
    if (text == nullptr)
        text = "";
    size_t length = strnlen(text, WindowTextRoom - 1);
    memcpy(window.text, text, length);
    window.text[length] = '\0';
    TraceText(index);
    int dialog = window.kind == ControlKind ? window.parent : index;
    if (WindowTable[dialog].visible)
        WindowTextChanged(index);
}

int CopyText(int index, char *out, int size)
{
    if (out == nullptr || size <= 0)
        return 0;
    size_t length = strlen(WindowTable[index].text);
    if (length > static_cast<size_t>(size - 1))
        length = static_cast<size_t>(size - 1);
    memcpy(out, WindowTable[index].text, length);
    out[length] = '\0';
    return static_cast<int>(length);
}

// The top left corner of a dialog's client area, in screen coordinates.
void ClientOrigin(int dialog, LONG *x, LONG *y)
{
    const Window &window = WindowTable[dialog];
    *x = window.rect.left + window.frame;
    *y = window.rect.top + window.frame + window.captionHeight;
}

int FindControl(int dialog, int id)
{
    const Window &window = WindowTable[dialog];
    for (int i = 0; i < window.controlCount; i++)
        if (WindowTable[window.controls[i]].id == id)
            return window.controls[i];
    return -1;
}

// Destroys a window and, for a dialog, its controls first.
void Destroy(int index)
{
    Window &window = WindowTable[index];
    if (window.destroying)
        return;
    window.destroying = true;
    if (window.kind == DialogKind) {
        if (window.proc != nullptr)
            window.proc(HandleOf(index), WmDestroy, 0, 0);
        while (window.controlCount > 0)
            Destroy(window.controls[window.controlCount - 1]);
        if (window.visible)
            WindowGone(index);
        TraceDestroyed(index);
    } else if (window.kind == ControlKind) {
        Window &dialog = WindowTable[window.parent];
        for (int i = 0; i < dialog.controlCount; i++) {
            if (dialog.controls[i] == index) {
                memmove(&dialog.controls[i], &dialog.controls[i + 1],
                        (dialog.controlCount - i - 1) * sizeof dialog.controls[0]);
                dialog.controlCount--;
                break;
            }
        }
    }
    if (Focus == index)
        Focus = -1;
    window.kind = FreeSlot;
    window.visible = false;
}

// Makes a dialog and its controls from the template `name`, hidden; its slot
// or -1 with the last error set.
int MakeDialog(LPCSTR name, DLGPROC proc, bool modal)
{
    PrepareDesktop();
    static DialogTemplate dialogTemplate; // one thread; used up before any procedure runs
    const BYTE *data = nullptr;
    size_t size = 0;
    char storedName[WindowNameRoom];
    if (!FindDialogResource(InstallerResource, InstallerResourceSize, name, &data, &size,
                            storedName, sizeof storedName)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    if (!ParseDialogTemplate(data, size, &dialogTemplate)) {
        SetLastError(ErrorInvalidData);
        return -1;
    }
    WORD atoms[TemplateMaxControls];
    for (int i = 0; i < dialogTemplate.controlCount; i++) {
        if (!IsSupportedClass(dialogTemplate.controls[i].windowClass, &atoms[i])) {
            SetLastError(ErrorCannotFindWindowClass);
            return -1;
        }
    }
    if (FreeSlots() < 1 + dialogTemplate.controlCount) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }

    int index = Allocate();
    Window &dialog = WindowTable[index];
    dialog.kind = DialogKind;
    dialog.serial = ++DialogsMade;
    dialog.style = dialogTemplate.style;
    dialog.proc = proc;
    dialog.modal = modal;
    dialog.result = 0;
    memcpy(dialog.name, storedName, sizeof dialog.name);
    size_t titleLength = strnlen(dialogTemplate.title, WindowTextRoom - 1);
    memcpy(dialog.text, dialogTemplate.title, titleLength);
    dialog.text[titleLength] = '\0';

    if ((dialog.style & WS_CAPTION) == WS_CAPTION) {
        dialog.frame = DialogFrame;
        dialog.captionHeight = CaptionHeight;
    } else if (dialog.style & (WsDialogFrame | DS_MODALFRAME)) {
        dialog.frame = DialogFrame;
    } else if (dialog.style & WS_BORDER) {
        dialog.frame = ThinBorder;
    }
    // The template places the client area; the frame and the title bar lie
    // around it. Without an owner the position is on the screen.
    BaseUnits(dialogTemplate, &dialog.baseX, &dialog.baseY);
    int baseX = dialog.baseX, baseY = dialog.baseY;
    LONG clientLeft = Scale(dialogTemplate.x, baseX, 4);
    LONG clientTop = Scale(dialogTemplate.y, baseY, 8);
    dialog.rect.left = clientLeft - dialog.frame;
    dialog.rect.top = clientTop - dialog.frame - dialog.captionHeight;
    dialog.rect.right = clientLeft + Scale(dialogTemplate.cx, baseX, 4) + dialog.frame;
    dialog.rect.bottom = clientTop + Scale(dialogTemplate.cy, baseY, 8) + dialog.frame;

    for (int i = 0; i < dialogTemplate.controlCount; i++) {
        const ControlTemplate &item = dialogTemplate.controls[i];
        int slot = Allocate();
        Window &control = WindowTable[slot];
        control.kind = ControlKind;
        control.parent = index;
        control.id = item.id;
        control.classAtom = atoms[i];
        control.style = item.style;
        control.textLimit = WindowTextRoom - 1;
        control.rect.left = Scale(item.x, baseX, 4);
        control.rect.top = Scale(item.y, baseY, 8);
        control.rect.right = control.rect.left + Scale(item.cx, baseX, 4);
        control.rect.bottom = control.rect.top + Scale(item.cy, baseY, 8);
        size_t length = strnlen(item.title.text, WindowTextRoom - 1);
        memcpy(control.text, item.title.text, length);
        control.text[length] = '\0';
        dialog.controls[dialog.controlCount++] = slot;
    }
    return index;
}

// WM_INITDIALOG: the first parameter names the first control that takes the
// focus by tab; a procedure that returns non-zero leaves the focus there.
void InitialiseDialog(int index, LPARAM initParam)
{
    Window &dialog = WindowTable[index];
    int first = -1;
    for (int i = 0; i < dialog.controlCount && first < 0; i++)
        if (WindowTable[dialog.controls[i]].style & WS_TABSTOP)
            first = dialog.controls[i];
    if (first < 0 && dialog.controlCount > 0)
        first = dialog.controls[0];
    HWND firstHandle = first < 0 ? nullptr : HandleOf(first);
    INT_PTR setFocus = dialog.proc == nullptr
                           ? TRUE
                           : dialog.proc(HandleOf(index), WM_INITDIALOG,
                                         reinterpret_cast<WPARAM>(firstHandle), initParam);
    if (setFocus && firstHandle != nullptr && IndexOf(firstHandle) >= 0)
        Focus = IndexOf(firstHandle);
}

void Show(int index)
{
    WindowTable[index].visible = true;
    TraceWindowShown(index);
    WindowShown(index);
}

void SendCommand(HWND dialog, int id, HWND control)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), ButtonClicked),
                 reinterpret_cast<LPARAM>(control));
}

// What the platform does with a message that no procedure handled.
LRESULT DefaultHandling(int index, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window &window = WindowTable[index];
    switch (message) {
    case WM_SETTEXT:
        SetText(index, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return CopyText(index, reinterpret_cast<char *>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(strlen(window.text));
    case WM_CLOSE:
        if (window.kind == DialogKind) {
            // The close box of a dialog is its Cancel command.
            int cancel = FindControl(index, IDCANCEL);
            SendCommand(HandleOf(index), IDCANCEL, cancel < 0 ? nullptr : HandleOf(cancel));
        } else if (window.kind == ControlKind) {
            Destroy(index);
        }
        return 0;
    case EM_LIMITTEXT:
        if (window.kind == ControlKind && window.classAtom == EditAtom) {
            // 0 lifts the limit: here, to the room of a window text.
            if (wParam == 0 || wParam > WindowTextRoom - 1)
                window.textLimit = WindowTextRoom - 1;
            else
                window.textLimit = static_cast<int>(wParam);
        }
        return 0;
    case BM_CLICK:
        if (window.kind == ControlKind && window.classAtom == ButtonAtom)
            SendCommand(HandleOf(window.parent), window.id, HandleOf(index));
        return 0;
    }
    return 0;
}

bool IsPushButton(int index)
{
    const Window &window = WindowTable[index];
    return window.kind == ControlKind && window.classAtom == ButtonAtom &&
           (window.style & 0xF) <= BS_DEFPUSHBUTTON;
}

int FailInvalidWindow()
{
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
}

// The slot of a live dialog, or -1 with the last error set.
int DialogIndex(HWND dialog)
{
    int index = IndexOf(dialog);
    if (index < 0 || WindowTable[index].kind != DialogKind)
        return FailInvalidWindow();
    return index;
}

// The slot of a dialog's control, or -1 with the last error set.
int ControlIndex(HWND dialog, int id)
{
    int index = DialogIndex(dialog);
    if (index < 0)
        return -1;
    int control = FindControl(index, id);
    if (control < 0)
        SetLastError(ErrorControlIdNotFound);
    return control;
}

} // namespace

HWND HandleOf(int index)
{
    uintptr_t value = static_cast<uintptr_t>(WindowTable[index].generation) << 16 |
                      static_cast<uintptr_t>(index + 1);
    return reinterpret_cast<HWND>(value);
}

int IndexOf(HWND window)
{
    PrepareDesktop();
    uintptr_t value = reinterpret_cast<uintptr_t>(window);
    if (value == 0 || static_cast<uint64_t>(value) >> 32 != 0)
        return -1;
    uintptr_t index = (value & 0xFFFF) - 1;
    if (index >= MaxWindows)
        return -1;
    const Window &entry = WindowTable[index];
    if (entry.kind == FreeSlot || entry.generation != (value >> 16))
        return -1;
    return static_cast<int>(index);
}

int FocusedWindow()
{
    return Focus;
}

int DefaultCommand(int dialog)
{
    if (Focus >= 0 && WindowTable[Focus].parent == dialog && IsPushButton(Focus))
        return WindowTable[Focus].id;
    return IDOK;
}

int FirstEditControl(int dialog)
{
    const Window &window = WindowTable[dialog];
    for (int i = 0; i < window.controlCount; i++)
        if (WindowTable[window.controls[i]].classAtom == EditAtom)
            return window.controls[i];
    return -1;
}

void UserSetsText(int control, const char *text)
{
    Window &window = WindowTable[control];
    char typed[WindowTextRoom];
    size_t length = strnlen(text, static_cast<size_t>(window.textLimit));
    memcpy(typed, text, length);
    typed[length] = '\0';
    if (strcmp(typed, window.text) == 0)
        return;
    memcpy(window.text, typed, length + 1);
    TraceInput(control);
}

} // namespace HostUi

using namespace HostUi;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC dialogProc,
                               LPARAM initParam)
{
    int index = MakeDialog(templateName, dialogProc, true);
    if (index < 0)
        return -1;
    HWND dialog = HandleOf(index);
    InitialiseDialog(index, initParam);
    // The modal loop: the user's actions become commands until the procedure
    // ends the dialog. After the end of input the close box is pressed once;
    // a dialog that stays open even then is given up with -1.
    bool inputEnded = false;
    while (IndexOf(dialog) == index && !WindowTable[index].ended) {
        if (!WindowTable[index].visible)
            Show(index);
        UserAction action = ReadDialogAction(index);
        if (IndexOf(dialog) != index)
            break;
        switch (action.kind) {
        case UserAction::Command: {
            TraceCommand(index, action.id);
            int control = FindControl(index, action.id);
            SendCommand(dialog, action.id, control < 0 ? nullptr : HandleOf(control));
            break;
        }
        case UserAction::EndOfInput:
            if (inputEnded) {
                Destroy(index);
                return -1;
            }
            inputEnded = true;
            [[fallthrough]];
        case UserAction::CloseBox:
            TraceCloseBox(index);
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            break;
        }
    }
    if (IndexOf(dialog) != index)
        return -1; // destroyed without EndDialog
    INT_PTR result = WindowTable[index].result;
    Destroy(index);
    return result;
}

HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC dialogProc,
                               LPARAM initParam)
{
    int index = MakeDialog(templateName, dialogProc, false);
    if (index < 0)
        return nullptr;
    HWND dialog = HandleOf(index);
    InitialiseDialog(index, initParam);
    if (IndexOf(dialog) != index)
        return nullptr;
    Window &window = WindowTable[index];
    if ((window.style & WS_VISIBLE) && !window.ended && !window.visible)
        Show(index);
    return dialog;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    int index = DialogIndex(dialog);
    if (index < 0)
        return FALSE;
    Window &window = WindowTable[index];
    window.ended = true;
    window.result = result;
    TraceDialogEnded(index, result);
    // The dialog disappears at once; a modal one is destroyed when its loop ends.
    if (window.visible) {
        window.visible = false;
        WindowGone(index);
    }
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    int index = IndexOf(window);
    if (index < 0)
        return FailInvalidWindow(), FALSE;
    if (WindowTable[index].kind == DesktopKind) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    Destroy(index);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int index = IndexOf(window);
    if (index < 0)
        return FailInvalidWindow(), 0;
    Window &target = WindowTable[index];
    if (target.kind == DialogKind && target.proc != nullptr) {
        INT_PTR handled = target.proc(window, message, wParam, lParam);
        if (message == WM_INITDIALOG)
            return handled;
        if (handled || IndexOf(window) != index)
            return 0;
    }
    return DefaultHandling(index, message, wParam, lParam);
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    int control = ControlIndex(dialog, id);
    return control < 0 ? nullptr : HandleOf(control);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size)
{
    int control = ControlIndex(dialog, id);
    if (control < 0) {
        if (text != nullptr && size > 0)
            text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(HandleOf(control), text, size));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    int control = ControlIndex(dialog, id);
    return control < 0 ? FALSE : SetWindowTextA(HandleOf(control), text);
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    if (IndexOf(window) < 0)
        return FailInvalidWindow(), FALSE;
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size)
{
    if (IndexOf(window) < 0) {
        if (text != nullptr && size > 0)
            text[0] = '\0';
        return FailInvalidWindow(), 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(text)));
}

HWND WINAPI SetFocus(HWND window)
{
    int index = -1;
    if (window != nullptr) {
        index = IndexOf(window);
        if (index < 0)
            return FailInvalidWindow(), nullptr;
    }
    HWND previous = Focus < 0 ? nullptr : HandleOf(Focus);
    Focus = index;
    return previous;
}

BOOL WINAPI IsWindow(HWND window)
{
    return IndexOf(window) >= 0;
}

HWND WINAPI GetDesktopWindow()
{
    PrepareDesktop();
    return HandleOf(0);
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    int index = IndexOf(window);
    if (index < 0)
        return FailInvalidWindow(), FALSE;
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Window &entry = WindowTable[index];
    *rect = entry.rect;
    if (entry.kind == ControlKind) {
        LONG x, y;
        ClientOrigin(entry.parent, &x, &y);
        rect->left += x;
        rect->right += x;
        rect->top += y;
        rect->bottom += y;
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL)
{
    int index = IndexOf(window);
    if (index < 0)
        return FailInvalidWindow(), FALSE;
    Window &entry = WindowTable[index];
    if (entry.kind == DesktopKind) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    entry.rect = {x, y, x + width, y + height};
    if (entry.kind == DialogKind && entry.visible)
        TraceWindowMoved(index);
    return TRUE;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    int ids[3];
    if ((type & MessageBoxTypeMask) > 6 || MessageBoxButtons(type, ids) == 0) {
        SetLastError(ErrorInvalidMessageBoxStyle);
        return 0;
    }
    if (text == nullptr)
        text = "";
    if (caption == nullptr)
        caption = "Error";
    int answer = AskMessageBox(text, caption, type);
    TraceMessageBox(caption, text, type, answer);
    return answer;
}
