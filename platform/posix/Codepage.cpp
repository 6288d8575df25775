#include "platform/posix/Codepage.h"

namespace
{

// Bytes 0x80 to 0x9F; every other byte is the character of the same value.
const char16_t HighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

} // namespace

char16_t AnsiToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControlRange[byte - 0x80];
    return byte;
}

int UnicodeToAnsi(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (int i = 0; i < 32; i++)
        if (HighControlRange[i] == character)
            return 0x80 + i;
    return -1;
}

size_t DecodeUtf8(const char *text, char32_t *character)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    unsigned char lead = bytes[0];
    if (lead == 0)
        return 0;
    if (lead < 0x80) {
        *character = lead;
        return 1;
    }
    size_t length;
    char32_t value;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; i++) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *character = value;
    return length;
}

size_t EncodeUtf8(char32_t character, char *out)
{
    if (character < 0x80) {
        out[0] = static_cast<char>(character);
        return 1;
    }
    if (character < 0x800) {
        out[0] = static_cast<char>(0xC0 | (character >> 6));
        out[1] = static_cast<char>(0x80 | (character & 0x3F));
        return 2;
    }
    if (character < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (character >> 12));
        out[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (character & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (character >> 18));
    out[1] = static_cast<char>(0x80 | ((character >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (character & 0x3F));
    return 4;
}
