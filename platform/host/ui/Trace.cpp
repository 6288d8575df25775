// The event trace: one JSON object per line, written and flushed as each
// event happens, so that a trace read after a crash ends with the last event.
#include "platform/host/ui/Trace.h"

#include "platform/host/ui/AnsiText.h"
#include "platform/host/ui/Terminal.h"
#include "platform/host/ui/WindowTable.h"

#include <stdlib.h>
#include <string.h>

namespace HostUi
{
namespace
{

FILE *TraceFile = nullptr;
bool Configured = false;

bool Tracing()
{
    if (!Configured) {
        Configured = true;
        const char *path = getenv("ZARQUEL_TRACE");
        if (path != nullptr && path[0] != '\0')
            TraceUseFile(path);
    }
    return TraceFile != nullptr;
}

// A JSON string of an ANSI text: UTF-8, with quotes, backslashes and control
// characters escaped.
void String(const char *ansi)
{
    fputc('"', TraceFile);
    for (const char *at = ansi; *at != '\0'; at++) {
        unsigned char byte = static_cast<unsigned char>(*at);
        switch (byte) {
        case '"':
            fputs("\\\"", TraceFile);
            break;
        case '\\':
            fputs("\\\\", TraceFile);
            break;
        case '\n':
            fputs("\\n", TraceFile);
            break;
        case '\r':
            fputs("\\r", TraceFile);
            break;
        case '\t':
            fputs("\\t", TraceFile);
            break;
        default:
            if (byte < 0x20)
                fprintf(TraceFile, "\\u%04x", byte);
            else
                WriteAnsi(TraceFile, at, 1);
        }
    }
    fputc('"', TraceFile);
}

void Begin(const char *event)
{
    fprintf(TraceFile, "{\"event\":\"%s\"", event);
}

void Key(const char *key)
{
    fprintf(TraceFile, ",\"%s\":", key);
}

void Number(const char *key, long long value)
{
    Key(key);
    fprintf(TraceFile, "%lld", value);
}

void Text(const char *key, const char *ansi)
{
    Key(key);
    String(ansi);
}

void Rectangle(const RECT &rect)
{
    Key("rect");
    fprintf(TraceFile, "[%ld,%ld,%ld,%ld]", static_cast<long>(rect.left),
            static_cast<long>(rect.top), static_cast<long>(rect.right),
            static_cast<long>(rect.bottom));
}

void End()
{
    fputs("}\n", TraceFile);
    fflush(TraceFile);
}

const char *ClassName(WORD atom)
{
    switch (atom) {
    case ButtonAtom:
        return "button";
    case EditAtom:
        return "edit";
    case StaticAtom:
        return "static";
    }
    return "";
}

// The window and, for a control, its id: the dialog by its number.
void WindowAndControl(int window)
{
    const Window &entry = WindowTable[window];
    if (entry.kind == ControlKind) {
        Number("window", WindowTable[entry.parent].serial);
        Number("control", entry.id);
    } else {
        Number("window", entry.serial);
    }
}

} // namespace

void TraceWindowShown(int dialog)
{
    if (!Tracing())
        return;
    const Window &window = WindowTable[dialog];
    Begin("window");
    Number("window", window.serial);
    Text("template", window.name);
    Text("caption", window.text);
    Key("modal");
    fputs(window.modal ? "true" : "false", TraceFile);
    RECT rect;
    GetWindowRect(HandleOf(dialog), &rect);
    Rectangle(rect);
    Key("controls");
    fputc('[', TraceFile);
    for (int i = 0; i < window.controlCount; i++) {
        const Window &control = WindowTable[window.controls[i]];
        fprintf(TraceFile, "%s{\"control\":%d", i > 0 ? "," : "", control.id);
        Text("class", ClassName(control.classAtom));
        Text("text", control.text);
        fputc('}', TraceFile);
    }
    fputc(']', TraceFile);
    End();
}

void TraceWindowMoved(int dialog)
{
    if (!Tracing())
        return;
    Begin("move");
    Number("window", WindowTable[dialog].serial);
    RECT rect;
    GetWindowRect(HandleOf(dialog), &rect);
    Rectangle(rect);
    End();
}

void TraceText(int window)
{
    if (!Tracing())
        return;
    // The texts of a modeless window's labels are its status line.
    const Window &entry = WindowTable[window];
    bool status = entry.kind == ControlKind && entry.classAtom == StaticAtom &&
                  !WindowTable[entry.parent].modal;
    Begin(status ? "status" : "text");
    WindowAndControl(window);
    Text("text", entry.text);
    End();
}

void TraceInput(int control)
{
    if (!Tracing())
        return;
    Begin("input");
    WindowAndControl(control);
    Text("text", WindowTable[control].text);
    End();
}

void TraceCommand(int dialog, int id)
{
    if (!Tracing())
        return;
    Begin("command");
    Number("window", WindowTable[dialog].serial);
    Number("control", id);
    End();
}

void TraceCloseBox(int dialog)
{
    if (!Tracing())
        return;
    Begin("close");
    Number("window", WindowTable[dialog].serial);
    End();
}

void TraceMessageBox(const char *caption, const char *text, UINT style, int answer)
{
    if (!Tracing())
        return;
    Begin("messagebox");
    Text("caption", caption);
    Text("text", text);
    Number("style", style);
    Key("buttons");
    int ids[3];
    int count = MessageBoxButtons(style, ids);
    fputc('[', TraceFile);
    for (int i = 0; i < count; i++) {
        fputs(i > 0 ? "," : "", TraceFile);
        String(ButtonLabel(ids[i]));
    }
    fputc(']', TraceFile);
    Number("answer", answer);
    End();
}

void TraceDialogEnded(int dialog, INT_PTR value)
{
    if (!Tracing())
        return;
    Begin("end");
    Number("window", WindowTable[dialog].serial);
    Number("value", value);
    End();
}

void TraceDestroyed(int dialog)
{
    if (!Tracing())
        return;
    Begin("destroy");
    Number("window", WindowTable[dialog].serial);
    End();
}

} // namespace HostUi

void TraceUseFile(const char *path)
{
    using namespace HostUi;
    Configured = true;
    if (TraceFile != nullptr)
        fclose(TraceFile);
    TraceFile = nullptr;
    if (path == nullptr)
        return;
    TraceFile = fopen(path, "w");
    if (TraceFile == nullptr)
        fprintf(stderr, "ZARQUEL_TRACE: cannot write %s\n", path);
}
