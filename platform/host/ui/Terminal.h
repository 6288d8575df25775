// The terminal front end: draws the dialogs and message boxes as text and
// reads the user's answers. On a terminal (standard input and output both
// terminals) the keys are read one by one in raw mode, which is always undone
// before a call returns; otherwise answers are read as lines (docs/terminal.md)
// and what is shown is echoed as plain text.
#pragma once

#include "platform/WinApi.h"

#include <stdio.h>

// The streams of the front end; standard input and output unless a test or
// a driver chooses others. Resets what the front end has drawn.
void TerminalUseStreams(FILE *input, FILE *output);

namespace HostUi
{

struct UserAction {
    enum Kind { Command, CloseBox, EndOfInput } kind;
    int id; // Command: the control id
};

// Waits for the user's next action in a modal dialog; the user's typing
// reaches the edit control through UserSetsText before this returns.
UserAction ReadDialogAction(int dialog);

// Shows a message box and waits for its answer: the button's identifier.
// At the end of input the close box answers: IDCANCEL for a box with a Cancel
// button, IDOK for an OK-only box, 0 for a box without a close box.
int AskMessageBox(const char *text, const char *caption, UINT style);

// The buttons of a message box style, in order: their count, 0 for a style
// without a defined button set.
int MessageBoxButtons(UINT style, int ids[3]);
// The answer of the close box (Escape), 0 when the box has none.
int MessageBoxCloseAnswer(UINT style);
// A button's label ("OK", "Cancel" ...) and the word that answers it in a line.
const char *ButtonLabel(int id);
const char *ButtonWord(int id);

// What the window manager tells the front end.
void WindowShown(int dialog);
void WindowTextChanged(int window);
void WindowGone(int dialog);

} // namespace HostUi
