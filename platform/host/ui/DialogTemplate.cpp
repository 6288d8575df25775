#include "platform/host/ui/DialogTemplate.h"

#include "platform/host/ui/AnsiText.h"
#include "platform/posix/Codepage.h"

#include <stdio.h>
#include <string.h>

namespace HostUi
{
namespace
{

// A bounded reader over little-endian bytes. Once a read fails, every later
// read fails too, so a parse checks the outcome once, at its end.
struct ByteReader {
    const BYTE *bytes;
    size_t size;
    size_t at;
    bool failed;

    bool Has(size_t count) const { return !failed && at <= size && size - at >= count; }

    WORD Word()
    {
        if (!Has(2)) {
            failed = true;
            return 0;
        }
        WORD value = static_cast<WORD>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return value;
    }

    DWORD Dword()
    {
        DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }

    short Short() { return static_cast<short>(Word()); }

    // Items and headers begin on a DWORD boundary of the data.
    void Align()
    {
        size_t aligned = (at + 3) & ~static_cast<size_t>(3);
        if (aligned > size)
            failed = true;
        else
            at = aligned;
    }

    void Skip(size_t count)
    {
        if (!Has(count))
            failed = true;
        else
            at += count;
    }

    // A zero-terminated UTF-16 text, kept as ANSI up to the room of `out`.
    void Text(char *out, size_t room)
    {
        size_t length = 0;
        for (;;) {
            WORD unit = Word();
            if (failed || unit == 0)
                break;
            char32_t character = unit;
            if (unit >= 0xD800 && unit <= 0xDFFF)
                character = 0xFFFD; // a character beyond the code page either way
            if (length + 1 < room)
                out[length++] = UnicodeToAnsiOrDefault(character);
        }
        if (room > 0)
            out[length] = '\0';
    }

    void NameOrOrdinalField(NameOrOrdinal *field)
    {
        field->isOrdinal = false;
        field->ordinal = 0;
        field->text[0] = '\0';
        if (Has(2) && bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
            Word();
            field->isOrdinal = true;
            field->ordinal = Word();
            return;
        }
        Text(field->text, sizeof field->text);
    }
};

char UpperCase(char32_t character)
{
    if ((character >= 'a' && character <= 'z') ||
        (character >= 0xE0 && character <= 0xFE && character != 0xF7))
        character -= 0x20;
    return UnicodeToAnsiOrDefault(character);
}

bool IsIntegerResource(LPCSTR name)
{
    return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

// The ordinal that a name stands for: an integer resource, or "#N" with N
// a decimal number below 65536. -1 for a plain name.
long OrdinalOfName(LPCSTR name)
{
    if (IsIntegerResource(name))
        return static_cast<long>(reinterpret_cast<uintptr_t>(name));
    if (name[0] != '#' || name[1] == '\0')
        return -1;
    long value = 0;
    for (const char *digit = name + 1; *digit != '\0'; digit++) {
        if (*digit < '0' || *digit > '9')
            return -1;
        value = value * 10 + (*digit - '0');
        if (value > 0xFFFF)
            return -1;
    }
    return value;
}

// Reads a resource header's name or ordinal and tells whether it is `name`.
// The stored form goes to `stored` (ANSI, "#N" for an ordinal).
bool ReadAndMatchName(ByteReader &reader, LPCSTR name, char *stored, size_t room)
{
    long ordinal = OrdinalOfName(name);
    if (reader.Has(2) && reader.bytes[reader.at] == 0xFF && reader.bytes[reader.at + 1] == 0xFF) {
        reader.Word();
        WORD storedOrdinal = reader.Word();
        snprintf(stored, room, "#%u", static_cast<unsigned>(storedOrdinal));
        return !reader.failed && ordinal == storedOrdinal;
    }
    bool same = ordinal < 0;
    size_t length = 0;
    const char *wanted = ordinal < 0 ? name : "";
    for (;;) {
        WORD unit = reader.Word();
        if (reader.failed)
            return false;
        if (unit == 0)
            break;
        char32_t character = unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit;
        char upper = UpperCase(character);
        if (length + 1 < room)
            stored[length] = upper;
        if (same) {
            char wantedUpper = UpperCase(AnsiToUnicode(static_cast<unsigned char>(*wanted)));
            same = *wanted != '\0' && wantedUpper == upper && UnicodeToAnsi(character) >= 0;
            if (same)
                wanted++;
        }
        length++;
    }
    stored[length + 1 < room ? length : room - 1] = '\0';
    return same && *wanted == '\0';
}

} // namespace

bool FindDialogResource(const BYTE *res, size_t resSize, LPCSTR name, const BYTE **data,
                        size_t *dataSize, char *storedName, size_t storedNameRoom)
{
    char scratch[TemplateTextRoom];
    if (storedName == nullptr || storedNameRoom == 0) {
        storedName = scratch;
        storedNameRoom = sizeof scratch;
    }
    if (name == nullptr)
        return false;
    // Each resource: data size, header size, type, name, then the rest of the
    // header; its data follows the header, and the next resource begins on
    // the DWORD boundary after the data.
    size_t at = 0;
    while (resSize - at >= 8) {
        ByteReader header{res, resSize, at, false};
        DWORD size = header.Dword();
        DWORD headerSize = header.Dword();
        if (headerSize < 16 || headerSize > resSize - at || size > resSize - at - headerSize)
            return false;
        header.size = at + headerSize; // type and name lie inside the header
        NameOrOrdinal type;
        header.NameOrOrdinalField(&type);
        bool found = ReadAndMatchName(header, name, storedName, storedNameRoom);
        if (header.failed)
            return false;
        if (found && type.isOrdinal && type.ordinal == DialogResourceType) {
            *data = res + at + headerSize;
            *dataSize = size;
            return true;
        }
        size_t next = at + headerSize + size;
        next = (next + 3) & ~static_cast<size_t>(3);
        if (next > resSize)
            return false;
        at = next;
    }
    return false;
}

bool ParseDialogTemplate(const BYTE *data, size_t size, DialogTemplate *dialog)
{
    memset(dialog, 0, sizeof *dialog);
    ByteReader reader{data, size, 0, false};
    // An extended template begins with version 1 and the signature 0xFFFF.
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF)
        return false;
    dialog->style = reader.Dword();
    dialog->exStyle = reader.Dword();
    dialog->controlCount = reader.Word();
    dialog->x = reader.Short();
    dialog->y = reader.Short();
    dialog->cx = reader.Short();
    dialog->cy = reader.Short();
    if (reader.failed || dialog->controlCount > TemplateMaxControls)
        return false;
    reader.NameOrOrdinalField(&dialog->menu);
    reader.NameOrOrdinalField(&dialog->windowClass);
    reader.Text(dialog->title, sizeof dialog->title);
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = reader.Word();
        reader.Text(dialog->faceName, sizeof dialog->faceName);
    }
    for (WORD i = 0; i < dialog->controlCount && !reader.failed; i++) {
        ControlTemplate &control = dialog->controls[i];
        reader.Align();
        control.style = reader.Dword();
        control.exStyle = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.cx = reader.Short();
        control.cy = reader.Short();
        control.id = reader.Word();
        reader.NameOrOrdinalField(&control.windowClass);
        reader.NameOrOrdinalField(&control.title);
        // The size word does not count itself.
        control.creationDataSize = reader.Word();
        reader.Skip(control.creationDataSize);
    }
    return !reader.failed;
}

} // namespace HostUi
