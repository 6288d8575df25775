// Dialog templates in a compiled resource file: finding a dialog resource by
// name and reading its standard template (DLGTEMPLATE and its DLGITEMTEMPLATE
// items, not the extended form). Every read is checked against the bytes at
// hand: malformed input makes a lookup or a parse fail, never read past its end.
#pragma once

#include "platform/WinApi.h"

namespace HostUi
{

enum {
    // Room for a text of a template (caption, face name, control text), its
    // zero included; a longer text is kept up to the room.
    TemplateTextRoom = 256,
    // More controls than this and the template is refused.
    TemplateMaxControls = 32,
};

// The resource type of dialog templates.
const WORD DialogResourceType = 5;

// A name or an ordinal, as templates store a menu, a class or a control title.
struct NameOrOrdinal {
    bool isOrdinal;
    WORD ordinal;
    char text[TemplateTextRoom]; // ANSI; empty for an ordinal
};

struct ControlTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD id;
    NameOrOrdinal windowClass; // the predefined classes by atom (0x0080 button ...)
    NameOrOrdinal title;
    WORD creationDataSize;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    WORD controlCount;
    short x, y, cx, cy;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    char title[TemplateTextRoom];
    // With DS_SETFONT only; otherwise 0 and empty.
    WORD pointSize;
    char faceName[TemplateTextRoom];
    ControlTemplate controls[TemplateMaxControls];
};

// Finds the dialog resource `name` in the resource file `res`: a name compared
// without regard to case ("SetupBox" finds SETUPBOX), "#N" or an ordinal given
// as an integer resource (MAKEINTRESOURCE). The first match counts. The stored
// name (ANSI, "#N" for an ordinal) goes to `storedName` when it is not null.
bool FindDialogResource(const BYTE *res, size_t resSize, LPCSTR name, const BYTE **data,
                        size_t *dataSize, char *storedName, size_t storedNameRoom);

// Reads a standard dialog template. False for an extended template, a count
// of controls beyond TemplateMaxControls, or bytes that end too early.
bool ParseDialogTemplate(const BYTE *data, size_t size, DialogTemplate *dialog);

} // namespace HostUi
