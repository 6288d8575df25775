#include "platform/host/HostText.h"

#include "platform/posix/Codepage.h"

#include <string.h>

namespace
{

// Appends a character's UTF-8 bytes when they and a terminator still fit.
bool Append(char32_t character, char *out, size_t room, size_t &used)
{
    char bytes[4];
    size_t length = EncodeUtf8(character, bytes);
    if (used + length + 1 > room)
        return false;
    memcpy(out + used, bytes, length);
    used += length;
    out[used] = '\0';
    return true;
}

bool Fail(char *out, size_t room)
{
    if (room > 0)
        out[0] = '\0';
    return false;
}

} // namespace

bool AnsiToUtf8(const char *ansi, char *out, size_t room)
{
    if (room == 0)
        return false;
    size_t used = 0;
    out[0] = '\0';
    for (const char *c = ansi; *c; c++)
        if (!Append(AnsiToUnicode(static_cast<unsigned char>(*c)), out, room, used))
            return Fail(out, room);
    return true;
}

bool Utf8ToAnsi(const char *utf8, char *out, size_t room)
{
    if (room == 0)
        return false;
    size_t used = 0;
    while (*utf8) {
        char32_t character;
        size_t length = DecodeUtf8(utf8, &character);
        int byte = '?';
        if (length == 0) {
            length = 1;
        } else {
            int ansi = UnicodeToAnsi(character);
            if (ansi > 0)
                byte = ansi;
        }
        if (used + 2 > room)
            return Fail(out, room);
        out[used++] = static_cast<char>(byte);
        utf8 += length;
    }
    out[used] = '\0';
    return true;
}

bool Utf16ToUtf8(const char16_t *wide, char *out, size_t room)
{
    if (room == 0)
        return false;
    size_t used = 0;
    out[0] = '\0';
    for (; *wide; wide++) {
        char32_t character = *wide;
        if (character >= 0xD800 && character <= 0xDBFF && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF) {
            character = 0x10000 + ((character - 0xD800) << 10) + (wide[1] - 0xDC00);
            wide++;
        } else if (character >= 0xD800 && character <= 0xDFFF) {
            character = 0xFFFD;
        }
        if (!Append(character, out, room, used))
            return Fail(out, room);
    }
    return true;
}

size_t Utf16Length(const char *utf8)
{
    size_t units = 0;
    while (*utf8) {
        char32_t character;
        size_t length = DecodeUtf8(utf8, &character);
        if (length == 0) {
            length = 1;
            character = 0xFFFD;
        }
        units += character >= 0x10000 ? 2 : 1;
        utf8 += length;
    }
    return units;
}

char32_t UpcaseForNames(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0x80)
        return c;
    // Latin-1: à to þ, except the division sign; ÿ goes to Ÿ.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A: pairs of capital and small letter.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~static_cast<char32_t>(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c == 0x192)
        return 0x191;
    // Greek and Cyrillic basic letters.
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

bool NamesMatch(const char *first, const char *second)
{
    if (strcmp(first, second) == 0)
        return true;
    while (*first && *second) {
        char32_t a;
        char32_t b;
        size_t lengthA = DecodeUtf8(first, &a);
        size_t lengthB = DecodeUtf8(second, &b);
        if (lengthA == 0 || lengthB == 0)
            return false;
        if (UpcaseForNames(a) != UpcaseForNames(b))
            return false;
        first += lengthA;
        second += lengthB;
    }
    return *first == *second;
}
