// The host's window table: the desktop, the dialogs made from templates and
// their controls, shared by the window operations (WindowManager.cpp), the terminal
// front end and the trace. A handle names a slot of the table and the slot's
// generation, so the handle of a destroyed window never names a later one.
#pragma once

#include "platform/WinApi.h"
#include "platform/host/ui/DialogTemplate.h"

namespace HostUi
{

enum {
    MaxWindows = 64,
    // A window's text, its zero included; a longer text is kept up to the room.
    WindowTextRoom = 1024,
    WindowNameRoom = 64,
    // The desktop: a VGA screen.
    DesktopWidth = 640,
    DesktopHeight = 480,
};

enum WindowKind { FreeSlot, DesktopKind, DialogKind, ControlKind };

// The predefined control classes by atom.
const WORD ButtonAtom = 0x0080;
const WORD EditAtom = 0x0081;
const WORD StaticAtom = 0x0082;

struct Window {
    WindowKind kind;
    WORD generation;
    int serial; // dialogs: 1 for the first dialog of the process, then 2 ...
    int parent; // controls: the dialog's slot; -1 otherwise
    int id;     // controls: the control id
    WORD classAtom;
    DWORD style;
    // The outer rectangle: screen coordinates for the desktop and a dialog,
    // the dialog's client coordinates for a control.
    RECT rect;
    int frame;         // the non-client border on each side
    int captionHeight; // the title bar, 0 without WS_CAPTION
    int baseX, baseY;  // dialogs: the dialog base units, in pixels
    char text[WindowTextRoom];
    int textLimit; // edit controls: the most characters that can be typed
    DLGPROC proc;
    bool modal;
    bool visible;
    bool ended;
    bool destroying;
    INT_PTR result;
    // Dialogs: the controls in creation (and tab) order.
    int controls[TemplateMaxControls];
    int controlCount;
    char name[WindowNameRoom]; // dialogs: the template's stored name
};

extern Window WindowTable[MaxWindows];

HWND HandleOf(int index);
// The slot of a live window, -1 for null, a destroyed window or anything else.
int IndexOf(HWND window);

// The control with the keyboard focus, -1 for none.
int FocusedWindow();

// The command that the Enter key gives: the push button with the focus, or
// the default button IDOK.
int DefaultCommand(int dialog);

// The first edit control of a dialog, -1 when it has none.
int FirstEditControl(int dialog);

// The user's typing: sets an edit control's text, up to its limit.
void UserSetsText(int control, const char *text);

} // namespace HostUi
