// The terminal front end. A window is drawn as a framed box of text: the
// caption in the top line, each control at the character cell of its
// position (one column for every four horizontal dialog units, one line for
// every eight vertical ones), labels as text, an edit control as [text] and a
// push button as [ OK ], or [>OK<] while it has the focus.
//
// On a terminal the box that was drawn last is redrawn in place as it
// changes: the folder while it is typed, the status line of the progress
// window as each text is set. Otherwise every box is printed anew when it
// changes, and answers are read as lines (docs/terminal.md).
#include "platform/host/ui/Terminal.h"

#include "platform/host/ui/AnsiText.h"
#include "platform/host/ui/WindowTable.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <termios.h>
#include <unistd.h>

namespace HostUi
{
namespace
{

enum {
    CanvasRows = 40,
    CanvasColumns = 160,
    // Message box texts are wrapped at this width.
    MessageColumns = 72,
    AnswerLineRoom = 4096,
    // How long the rest of an escape sequence may take to arrive, in milliseconds.
    EscapeSequenceWait = 50,
};

struct Canvas {
    int rows;
    int columns;
    char cells[CanvasRows][CanvasColumns];
};

FILE *Input = nullptr;
FILE *Output = nullptr;
bool Ready = false;
bool Interactive = false;

// The box on the screen right above the cursor (a dialog's serial, a negative
// number for a message box, 0 for none), its height in lines and the line of
// the box that the cursor is on (its height when it is below the box).
const int NoBox = 0;
int ShownBox = NoBox;
int ShownLines = 0;
int CursorLine = 0;
int MessageBoxesShown = 0;
// A modal dialog whose texts changed since it was drawn.
int StaleBox = NoBox;

void Prepare()
{
    if (!Ready)
        TerminalUseStreams(stdin, stdout);
}

void Write(const char *text)
{
    fputs(text, Output);
}

void MoveUp(int lines)
{
    if (lines > 0)
        fprintf(Output, "\x1b[%dA", lines);
}

void MoveDown(int lines)
{
    if (lines > 0)
        fprintf(Output, "\x1b[%dB", lines);
}

// Puts the cursor on line `line` of the shown box, at `column`.
void MoveToCell(int line, int column)
{
    if (line < CursorLine)
        MoveUp(CursorLine - line);
    else
        MoveDown(line - CursorLine);
    Write("\r");
    if (column > 0)
        fprintf(Output, "\x1b[%dC", column);
    CursorLine = line;
}

// Leaves the shown box: the cursor goes below it, at the start of a line.
void LeaveBox()
{
    if (Interactive && ShownBox != NoBox && CursorLine < ShownLines)
        MoveToCell(ShownLines, 0);
    ShownBox = NoBox;
}

void ClearCanvas(Canvas *canvas, int rows, int columns)
{
    canvas->rows = rows < 1 ? 1 : rows > CanvasRows ? CanvasRows : rows;
    canvas->columns = columns < 1 ? 1 : columns > CanvasColumns ? CanvasColumns : columns;
    memset(canvas->cells, ' ', sizeof canvas->cells);
}

// Writes `length` bytes of text at a cell; what lies outside the canvas is cut.
void PutText(Canvas *canvas, int row, int column, const char *text, size_t length)
{
    if (row < 0 || row >= CanvasRows)
        return;
    for (size_t i = 0; i < length; i++) {
        long at = column + static_cast<long>(i);
        if (at < 0 || at >= CanvasColumns)
            continue;
        unsigned char byte = static_cast<unsigned char>(text[i]);
        // Control characters show as a middle dot.
        canvas->cells[row][at] = byte < 0x20 ? static_cast<char>(0xB7) : static_cast<char>(byte);
    }
}

// Prints a canvas in a frame with the caption in its top line. On a terminal
// a box that is already shown is drawn over itself.
void PrintBox(int identity, const char *caption, const Canvas &canvas)
{
    int lines = canvas.rows + 2;
    if (Interactive && ShownBox == identity && ShownLines == lines) {
        MoveToCell(0, 0);
    } else {
        LeaveBox();
    }
    const char *clearLine = Interactive ? "\x1b[K" : "";
    int width = canvas.columns + 2;
    Write("+");
    int used = 0;
    if (caption != nullptr) {
        size_t length = strnlen(caption, static_cast<size_t>(width > 3 ? width - 3 : 0));
        Write("- ");
        WriteAnsi(Output, caption, length);
        Write(" ");
        used = static_cast<int>(length) + 3;
    }
    for (; used < width; used++)
        Write("-");
    fprintf(Output, "+%s\n", clearLine);
    for (int row = 0; row < canvas.rows; row++) {
        Write("| ");
        WriteAnsi(Output, canvas.cells[row], static_cast<size_t>(canvas.columns));
        fprintf(Output, " |%s\n", clearLine);
    }
    Write("+");
    for (int i = 0; i < width; i++)
        Write("-");
    fprintf(Output, "+%s\n", clearLine);
    ShownBox = identity;
    ShownLines = lines;
    CursorLine = lines;
}

// Plain output that is not a box: a line of its own below what is shown.
void PrintLine(const char *prefix, const char *ansi)
{
    LeaveBox();
    Write(prefix);
    WriteAnsi(Output, ansi, strlen(ansi));
    Write("\n");
    fflush(Output);
}

size_t FirstLineLength(const char *text)
{
    size_t length = 0;
    while (text[length] != '\0' && text[length] != '\n' && text[length] != '\r')
        length++;
    return length;
}

// A button's face: "[ OK ]", or "[>OK<]" with the focus; '&' marks no letter here.
void ButtonFace(const char *label, bool focused, char *out, size_t room)
{
    char plain[WindowTextRoom];
    size_t length = 0;
    for (const char *from = label; *from != '\0' && *from != '\n' && length + 1 < sizeof plain;
         from++) {
        if (*from == '&' && from[1] != '\0')
            from++;
        plain[length++] = *from;
    }
    plain[length] = '\0';
    // A face wider than its room is cut; the caller draws what fits.
    if (snprintf(out, room, focused ? "[>%s<]" : "[ %s ]", plain) < 0)
        out[0] = '\0';
}

// The edit control that is being typed into, shown from `scroll` on in a
// field of fixed width; control -1 when nothing is typed.
struct EditView {
    int control;
    const char *text;
    size_t scroll;
};

struct FieldPlace {
    int line;   // the line of the box
    int column; // the column of the screen where the field's text begins
    int width;  // the field's width in characters
};

void LayOutDialog(int dialog, const EditView &view, Canvas *canvas, FieldPlace *field)
{
    const Window &window = WindowTable[dialog];
    int baseX = window.baseX > 0 ? window.baseX : 8;
    int baseY = window.baseY > 0 ? window.baseY : 16;
    int columns = (window.rect.right - window.rect.left - 2 * window.frame) / baseX;
    int clientHeight =
        window.rect.bottom - window.rect.top - 2 * window.frame - window.captionHeight;
    int rows = (clientHeight + baseY - 1) / baseY;
    int captionLength = static_cast<int>(strlen(window.text));
    if (captionLength + 2 > columns)
        columns = captionLength + 2;

    char face[WindowTextRoom + 4];
    // First the extent: labels and, off the terminal, edit fields are shown whole.
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1)
            ClearCanvas(canvas, rows, columns);
        for (int i = 0; i < window.controlCount; i++) {
            int slot = window.controls[i];
            const Window &control = WindowTable[slot];
            if (!(control.style & WS_VISIBLE))
                continue;
            int row = control.rect.top / baseY;
            int column = control.rect.left / baseX;
            int width = (control.rect.right - control.rect.left) / baseX;
            const char *text = control.text;
            size_t length = FirstLineLength(text);
            if (control.classAtom == EditAtom) {
                bool typed = view.control == slot;
                if (typed)
                    text = view.text + view.scroll, length = strlen(text);
                int inner = width > 3 ? width - 2 : 1;
                if (!Interactive && static_cast<int>(length) > inner)
                    inner = static_cast<int>(length);
                if (pass == 1) {
                    PutText(canvas, row, column, "[", 1);
                    PutText(canvas, row, column + 1, text,
                            length < static_cast<size_t>(inner) ? length : inner);
                    PutText(canvas, row, column + 1 + inner, "]", 1);
                    if (typed)
                        *field = {row + 1, column + 3, inner};
                }
                width = inner + 2;
            } else if (control.classAtom == ButtonAtom) {
                ButtonFace(text, FocusedWindow() == slot, face, sizeof face);
                int faceLength = static_cast<int>(strlen(face));
                int start = column + (width > faceLength ? (width - faceLength) / 2 : 0);
                if (pass == 1)
                    PutText(canvas, row, start, face, faceLength);
                width = start - column + faceLength;
            } else {
                if (pass == 1)
                    PutText(canvas, row, column, text, length);
                if (static_cast<int>(length) > width)
                    width = static_cast<int>(length);
            }
            if (row + 1 > rows)
                rows = row + 1;
            if (column + width > columns)
                columns = column + width;
        }
    }
}

void DrawDialog(int dialog, const EditView &view, FieldPlace *field)
{
    static Canvas canvas;
    LayOutDialog(dialog, view, &canvas, field);
    const Window &window = WindowTable[dialog];
    bool hasCaption = (window.style & WS_CAPTION) == WS_CAPTION;
    PrintBox(window.serial, hasCaption ? window.text : nullptr, canvas);
    if (StaleBox == window.serial)
        StaleBox = NoBox;
    fflush(Output);
}

void DrawDialog(int dialog)
{
    FieldPlace field = {0, 0, 0};
    DrawDialog(dialog, EditView{-1, "", 0}, &field);
}

// ---- Raw keys on a terminal

termios SavedModes;
bool RawMode = false;
struct sigaction SavedActions[4];
const int RestoringSignals[4] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

void RestoreModes()
{
    tcsetattr(fileno(Input), TCSANOW, &SavedModes);
}

// A signal that ends the process while keys are read raw: the terminal gets
// its modes back before the signal takes its course.
void RestoreAndResignal(int signalNumber)
{
    RestoreModes();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

bool EnterRawMode()
{
    if (tcgetattr(fileno(Input), &SavedModes) != 0)
        return false;
    struct sigaction restoring = {};
    restoring.sa_handler = RestoreAndResignal;
    sigemptyset(&restoring.sa_mask);
    for (int i = 0; i < 4; i++)
        sigaction(RestoringSignals[i], &restoring, &SavedActions[i]);
    termios raw = SavedModes;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | ISTRIP | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    RawMode = tcsetattr(fileno(Input), TCSANOW, &raw) == 0;
    if (!RawMode) {
        for (int i = 0; i < 4; i++)
            sigaction(RestoringSignals[i], &SavedActions[i], nullptr);
    }
    return RawMode;
}

void LeaveRawMode()
{
    if (!RawMode)
        return;
    RestoreModes();
    for (int i = 0; i < 4; i++)
        sigaction(RestoringSignals[i], &SavedActions[i], nullptr);
    RawMode = false;
}

enum KeyKind {
    KeyCharacter,
    KeyEnter,
    KeyEscape,
    KeyBackspace,
    KeyDelete,
    KeyLeft,
    KeyRight,
    KeyHome,
    KeyEnd,
    KeyTab,
    KeyBackTab,
    KeyKillLine,
    KeyEndOfInput,
    KeyIgnored,
};

struct Key {
    KeyKind kind;
    char ansi;
};

// A byte of input: -1 at the end of input, -2 when none came within the wait
// (a negative wait waits for ever).
int ReadByte(int waitMilliseconds)
{
    int fd = fileno(Input);
    if (waitMilliseconds >= 0) {
        pollfd ready = {fd, POLLIN, 0};
        int count;
        do
            count = poll(&ready, 1, waitMilliseconds);
        while (count < 0 && errno == EINTR);
        if (count == 0)
            return -2;
    }
    unsigned char byte;
    ssize_t got;
    do
        got = read(fd, &byte, 1);
    while (got < 0 && errno == EINTR);
    return got == 1 ? byte : -1;
}

Key EscapeSequence()
{
    int next = ReadByte(EscapeSequenceWait);
    if (next == -2)
        return {KeyEscape, 0};
    if (next == -1)
        return {KeyEndOfInput, 0};
    if (next != '[' && next != 'O')
        return {KeyIgnored, 0};
    int parameter = 0;
    for (int count = 0; count < 16; count++) {
        int byte = ReadByte(EscapeSequenceWait);
        if (byte < 0)
            return {KeyIgnored, 0};
        if (byte >= '0' && byte <= '9') {
            parameter = parameter * 10 + (byte - '0');
            continue;
        }
        if (byte < 0x40 || byte > 0x7E)
            continue;
        switch (byte) {
        case 'C':
            return {KeyRight, 0};
        case 'D':
            return {KeyLeft, 0};
        case 'H':
            return {KeyHome, 0};
        case 'F':
            return {KeyEnd, 0};
        case 'Z':
            return {KeyBackTab, 0};
        case '~':
            if (parameter == 1 || parameter == 7)
                return {KeyHome, 0};
            if (parameter == 4 || parameter == 8)
                return {KeyEnd, 0};
            if (parameter == 3)
                return {KeyDelete, 0};
            return {KeyIgnored, 0};
        default:
            return {KeyIgnored, 0};
        }
    }
    return {KeyIgnored, 0};
}

Key ReadKey()
{
    int byte = ReadByte(-1);
    switch (byte) {
    case -1:
    case 0x04: // Ctrl-D
        return {KeyEndOfInput, 0};
    case '\r':
    case '\n':
        return {KeyEnter, 0};
    case 0x1B:
        return EscapeSequence();
    case 0x03: // Ctrl-C counts as Escape
        return {KeyEscape, 0};
    case 0x7F:
    case 0x08:
        return {KeyBackspace, 0};
    case '\t':
        return {KeyTab, 0};
    case 0x01: // Ctrl-A
        return {KeyHome, 0};
    case 0x05: // Ctrl-E
        return {KeyEnd, 0};
    case 0x15: // Ctrl-U
        return {KeyKillLine, 0};
    }
    if (byte < 0x20)
        return {KeyIgnored, 0};
    unsigned char bytes[4] = {static_cast<unsigned char>(byte)};
    size_t count = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    for (size_t i = 1; i < count; i++) {
        int next = ReadByte(EscapeSequenceWait);
        if (next < 0)
            return {KeyCharacter, '?'};
        bytes[i] = static_cast<unsigned char>(next);
    }
    char32_t character;
    DecodeUtf8Character(bytes, count, &character);
    return {KeyCharacter, UnicodeToAnsiOrDefault(character)};
}

// Moves the focus to the next (or previous) control that takes it by tab.
void MoveFocus(int dialog, bool forward)
{
    const Window &window = WindowTable[dialog];
    int count = window.controlCount;
    if (count == 0)
        return;
    int current = -1;
    for (int i = 0; i < count; i++)
        if (window.controls[i] == FocusedWindow())
            current = i;
    for (int step = 1; step <= count; step++) {
        int i = forward ? (current + step) % count : (current - step + 2 * count) % count;
        if (current < 0 && !forward)
            i = count - step;
        int slot = window.controls[i];
        if (WindowTable[slot].style & WS_TABSTOP) {
            SetFocus(HandleOf(slot));
            return;
        }
    }
}

// The width of an edit control's field on the terminal, in characters.
size_t FieldWidth(int dialog, int edit)
{
    const Window &window = WindowTable[dialog];
    int baseX = window.baseX > 0 ? window.baseX : 8;
    int width = (WindowTable[edit].rect.right - WindowTable[edit].rect.left) / baseX;
    return width > 3 ? static_cast<size_t>(width - 2) : 1;
}

// The dialog on a terminal: the keys edit its first edit control in place
// until a key gives a command.
UserAction ReadDialogKeys(int dialog)
{
    int edit = FirstEditControl(dialog);
    char text[WindowTextRoom] = "";
    size_t length = 0;
    size_t limit = 0;
    size_t width = 1;
    if (edit >= 0) {
        length = strlen(WindowTable[edit].text);
        memcpy(text, WindowTable[edit].text, length + 1);
        limit = static_cast<size_t>(WindowTable[edit].textLimit);
        width = FieldWidth(dialog, edit);
    }
    size_t cursor = length;
    size_t scroll = 0;
    UserAction action = {UserAction::EndOfInput, 0};
    EnterRawMode();
    for (bool waiting = true; waiting;) {
        if (cursor < scroll)
            scroll = cursor;
        if (cursor >= scroll + width)
            scroll = cursor - width + 1;
        FieldPlace field = {0, 0, 0};
        DrawDialog(dialog, EditView{edit, text, scroll}, &field);
        if (edit >= 0)
            MoveToCell(field.line, field.column + static_cast<int>(cursor - scroll));
        fflush(Output);

        Key key = ReadKey();
        switch (key.kind) {
        case KeyEnter:
            action = {UserAction::Command, DefaultCommand(dialog)};
            waiting = false;
            break;
        case KeyEscape:
            action = {UserAction::Command, IDCANCEL};
            waiting = false;
            break;
        case KeyEndOfInput:
            action = {UserAction::EndOfInput, 0};
            waiting = false;
            break;
        case KeyTab:
        case KeyBackTab:
            MoveFocus(dialog, key.kind == KeyTab);
            break;
        case KeyCharacter:
            if (edit >= 0 && length < limit) {
                memmove(text + cursor + 1, text + cursor, length - cursor + 1);
                text[cursor++] = key.ansi;
                length++;
            }
            break;
        case KeyBackspace:
            if (cursor > 0) {
                memmove(text + cursor - 1, text + cursor, length - cursor + 1);
                cursor--;
                length--;
            }
            break;
        case KeyDelete:
            if (cursor < length) {
                memmove(text + cursor, text + cursor + 1, length - cursor);
                length--;
            }
            break;
        case KeyLeft:
            cursor -= cursor > 0;
            break;
        case KeyRight:
            cursor += cursor < length;
            break;
        case KeyHome:
            cursor = 0;
            break;
        case KeyEnd:
            cursor = length;
            break;
        case KeyKillLine:
            memmove(text, text + cursor, length - cursor + 1);
            length -= cursor;
            cursor = 0;
            break;
        case KeyIgnored:
            break;
        }
    }
    LeaveRawMode();
    LeaveBox();
    fflush(Output);
    if (edit >= 0)
        UserSetsText(edit, text);
    return action;
}

// ---- Answer lines

// The next answer line, converted to ANSI, without its line break; lines
// that begin with '#' are comments. False at the end of input.
bool ReadAnswerLine(char *line, size_t room)
{
    static char raw[AnswerLineRoom];
    for (;;) {
        if (fgets(raw, sizeof raw, Input) == nullptr)
            return false;
        size_t length = strlen(raw);
        if (length > 0 && raw[length - 1] == '\n') {
            raw[--length] = '\0';
        } else {
            // The rest of an over-long line is not an answer of its own.
            int next;
            do
                next = fgetc(Input);
            while (next != EOF && next != '\n');
        }
        if (length > 0 && raw[length - 1] == '\r')
            raw[--length] = '\0';
        if (raw[0] == '#')
            continue;
        Utf8ToAnsiText(raw, line, room);
        PrintLine("> ", line);
        return true;
    }
}

// Splits an answer line into its first word and the rest after one blank.
const char *SplitWord(const char *line, char *word, size_t room)
{
    size_t length = 0;
    while (line[length] != '\0' && line[length] != ' ')
        length++;
    size_t kept = length < room ? length : room - 1;
    memcpy(word, line, kept);
    word[kept] = '\0';
    return line[length] == ' ' ? line + length + 1 : line + length;
}

UserAction ReadDialogLines(int dialog)
{
    const Window &window = WindowTable[dialog];
    if (ShownBox != window.serial || StaleBox == window.serial)
        DrawDialog(dialog);
    static char line[AnswerLineRoom];
    for (;;) {
        if (!ReadAnswerLine(line, sizeof line)) {
            PrintLine("", "(end of input)");
            return {UserAction::EndOfInput, 0};
        }
        char word[16];
        const char *rest = SplitWord(line, word, sizeof word);
        if (line[0] == '\0')
            return {UserAction::Command, DefaultCommand(dialog)};
        if (strcasecmp(word, "ok") == 0 && *rest == '\0')
            return {UserAction::Command, IDOK};
        if (strcasecmp(word, "cancel") == 0 && *rest == '\0')
            return {UserAction::Command, IDCANCEL};
        if (strcasecmp(word, "close") == 0 && *rest == '\0')
            return {UserAction::CloseBox, 0};
        if (strcasecmp(word, "press") == 0 && *rest != '\0') {
            char *end = nullptr;
            long id = strtol(rest, &end, 10);
            if (*end == '\0' && id >= 0 && id <= 0xFFFF)
                return {UserAction::Command, static_cast<int>(id)};
        }
        int edit = FirstEditControl(dialog);
        if (strcasecmp(word, "text") == 0 && edit >= 0) {
            UserSetsText(edit, rest);
            continue;
        }
        PrintLine("(not an answer to this dialog: ", "ok, cancel, close, press N or text ...)");
    }
}

} // namespace

// ---- Message boxes

int MessageBoxButtons(UINT style, int ids[3])
{
    static const int Sets[7][3] = {
        {IDOK, 0, 0},
        {IDOK, IDCANCEL, 0},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0},
        {IDRETRY, IDCANCEL, 0},
        {IDCANCEL, 10, 11}, // Cancel, Try Again, Continue
    };
    UINT set = style & 0xF;
    if (set >= 7)
        return 0;
    int count = 0;
    for (int i = 0; i < 3 && Sets[set][i] != 0; i++)
        ids[count++] = Sets[set][i];
    return count;
}

int MessageBoxCloseAnswer(UINT style)
{
    int ids[3];
    int count = MessageBoxButtons(style, ids);
    for (int i = 0; i < count; i++)
        if (ids[i] == IDCANCEL)
            return IDCANCEL;
    return count == 1 ? IDOK : 0;
}

const char *ButtonLabel(int id)
{
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case 10:
        return "Try Again";
    case 11:
        return "Continue";
    }
    return "";
}

const char *ButtonWord(int id)
{
    return id == 10 ? "try" : ButtonLabel(id);
}

namespace
{

const char *IconTag(UINT style)
{
    switch (style & 0xF0) {
    case MB_ICONERROR:
        return "(X) ";
    case MB_ICONQUESTION:
        return "(?) ";
    case MB_ICONWARNING:
        return "(!) ";
    case MB_ICONINFORMATION:
        return "(i) ";
    }
    return "";
}

void DrawMessageBox(int identity, const char *text, const char *caption, UINT style, int selected)
{
    static Canvas canvas;
    const char *icon = IconTag(style);
    int indent = static_cast<int>(strlen(icon));
    int ids[3];
    int count = MessageBoxButtons(style, ids);

    // The text, line by line, each line wrapped at a blank where it can be.
    int rows = 0;
    int columns = 0;
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1)
            ClearCanvas(&canvas, rows, columns);
        int row = 0;
        const char *line = text;
        for (;;) {
            size_t length = FirstLineLength(line);
            do {
                size_t piece = length;
                if (piece > MessageColumns) {
                    piece = MessageColumns;
                    while (piece > MessageColumns / 2 && line[piece] != ' ')
                        piece--;
                    if (line[piece] != ' ')
                        piece = MessageColumns;
                }
                if (pass == 1) {
                    if (row == 0)
                        PutText(&canvas, row, 0, icon, indent);
                    PutText(&canvas, row, indent, line, piece);
                }
                if (indent + static_cast<int>(piece) > columns)
                    columns = indent + static_cast<int>(piece);
                row++;
                while (piece < length && line[piece] == ' ')
                    piece++;
                line += piece;
                length -= piece;
            } while (length > 0 && row < CanvasRows - 2);
            if (*line == '\r')
                line++;
            if (*line != '\n' || row >= CanvasRows - 2)
                break;
            line++;
        }
        // A blank line, then the buttons, centred.
        char faces[3][WindowTextRoom];
        int facesWidth = 0;
        for (int i = 0; i < count; i++) {
            ButtonFace(ButtonLabel(ids[i]), i == selected, faces[i], sizeof faces[i]);
            facesWidth += static_cast<int>(strlen(faces[i])) + (i > 0 ? 2 : 0);
        }
        if (facesWidth > columns)
            columns = facesWidth;
        if (static_cast<int>(strlen(caption)) + 2 > columns)
            columns = static_cast<int>(strlen(caption)) + 2;
        row++;
        if (pass == 1) {
            int column = (columns - facesWidth) / 2;
            for (int i = 0; i < count; i++) {
                size_t faceLength = strlen(faces[i]);
                PutText(&canvas, row, column, faces[i], faceLength);
                column += static_cast<int>(faceLength) + 2;
            }
        }
        rows = row + 1;
    }
    PrintBox(identity, caption, canvas);
    fflush(Output);
}

int DefaultButtonIndex(UINT style, int count)
{
    int index = static_cast<int>((style >> 8) & 0xF);
    return index < count ? index : 0;
}

int AnswerByLetter(const int ids[3], int count, char letter)
{
    for (int i = 0; i < count; i++)
        if (strncasecmp(ButtonWord(ids[i]), &letter, 1) == 0)
            return ids[i];
    return 0;
}

int AskByKeys(int identity, const char *text, const char *caption, UINT style)
{
    int ids[3];
    int count = MessageBoxButtons(style, ids);
    int selected = DefaultButtonIndex(style, count);
    int answer = -1;
    EnterRawMode();
    while (answer < 0) {
        DrawMessageBox(identity, text, caption, style, selected);
        Key key = ReadKey();
        switch (key.kind) {
        case KeyEnter:
            answer = ids[selected];
            break;
        case KeyEscape:
            // Without a close box Escape does nothing.
            if (MessageBoxCloseAnswer(style) != 0)
                answer = MessageBoxCloseAnswer(style);
            break;
        case KeyEndOfInput:
            answer = MessageBoxCloseAnswer(style);
            break;
        case KeyLeft:
        case KeyBackTab:
            selected = (selected + count - 1) % count;
            break;
        case KeyRight:
        case KeyTab:
            selected = (selected + 1) % count;
            break;
        case KeyCharacter: {
            int id = AnswerByLetter(ids, count, key.ansi);
            if (id != 0)
                answer = id;
            break;
        }
        default:
            break;
        }
    }
    LeaveRawMode();
    LeaveBox();
    fflush(Output);
    return answer;
}

int AskByLines(int identity, const char *text, const char *caption, UINT style)
{
    int ids[3];
    int count = MessageBoxButtons(style, ids);
    DrawMessageBox(identity, text, caption, style, -1);
    static char line[AnswerLineRoom];
    for (;;) {
        if (!ReadAnswerLine(line, sizeof line)) {
            PrintLine("", "(end of input)");
            return MessageBoxCloseAnswer(style);
        }
        if (line[0] == '\0')
            return ids[DefaultButtonIndex(style, count)];
        for (int i = 0; i < count; i++)
            if (strcasecmp(line, ButtonWord(ids[i])) == 0)
                return ids[i];
        if (strcasecmp(line, "close") == 0 && MessageBoxCloseAnswer(style) != 0)
            return MessageBoxCloseAnswer(style);
        char answers[64] = "";
        for (int i = 0; i < count; i++) {
            strncat(answers, ButtonWord(ids[i]), sizeof answers - strlen(answers) - 1);
            strncat(answers, i + 1 < count ? ", " : ")", sizeof answers - strlen(answers) - 1);
        }
        PrintLine("(not an answer to this box: ", answers);
    }
}

} // namespace

int AskMessageBox(const char *text, const char *caption, UINT style)
{
    Prepare();
    int identity = -++MessageBoxesShown;
    return Interactive ? AskByKeys(identity, text, caption, style)
                       : AskByLines(identity, text, caption, style);
}

UserAction ReadDialogAction(int dialog)
{
    Prepare();
    return Interactive ? ReadDialogKeys(dialog) : ReadDialogLines(dialog);
}

void WindowShown(int dialog)
{
    Prepare();
    // On a terminal a modal dialog is drawn when it waits for keys, once the
    // keys are read raw: keys typed at the sight of it are not echoed.
    if (!(Interactive && WindowTable[dialog].modal))
        DrawDialog(dialog);
}

void WindowTextChanged(int window)
{
    Prepare();
    int dialog = WindowTable[window].kind == ControlKind ? WindowTable[window].parent : window;
    const Window &box = WindowTable[dialog];
    if (box.modal) {
        // Drawn again before the dialog waits for the user.
        StaleBox = box.serial;
        return;
    }
    // A modeless window shows each text at once: on a terminal in place, in
    // plain output as a line of its own.
    if (Interactive || window == dialog)
        DrawDialog(dialog);
    else
        PrintLine("", WindowTable[window].text);
}

void WindowGone(int dialog)
{
    Prepare();
    if (ShownBox == WindowTable[dialog].serial) {
        LeaveBox();
        fflush(Output);
    }
}

} // namespace HostUi

void TerminalUseStreams(FILE *input, FILE *output)
{
    using namespace HostUi;
    Input = input;
    Output = output;
    Ready = true;
    int inputFd = fileno(input);
    int outputFd = fileno(output);
    Interactive = inputFd >= 0 && outputFd >= 0 && isatty(inputFd) && isatty(outputFd);
    ShownBox = NoBox;
    StaleBox = NoBox;
    ShownLines = 0;
    CursorLine = 0;
}
