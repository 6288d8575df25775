#include "platform/host/ui/AnsiText.h"

#include "platform/posix/Codepage.h"

namespace HostUi
{

size_t AnsiByteToUtf8(unsigned char byte, char *out)
{
    return EncodeUtf8(AnsiToUnicode(byte), out);
}

void WriteAnsi(FILE *file, const char *ansi, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        char utf8[3];
        fwrite(utf8, 1, AnsiByteToUtf8(static_cast<unsigned char>(ansi[i]), utf8), file);
    }
}

size_t DecodeUtf8Character(const unsigned char *bytes, size_t available, char32_t *character)
{
    *character = 0xFFFD;
    if (available == 0)
        return 0;
    unsigned char lead = bytes[0];
    if (lead < 0x80) {
        *character = lead;
        return 1;
    }
    size_t length;
    char32_t value;
    char32_t smallest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return 1;
    }
    if (available < length)
        return 1;
    for (size_t i = 1; i < length; i++) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 1;
        value = value << 6 | (bytes[i] & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 1;
    *character = value;
    return length;
}

char UnicodeToAnsiOrDefault(char32_t character)
{
    int byte = UnicodeToAnsi(character);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

void Utf8ToAnsiText(const char *utf8, char *out, size_t room)
{
    if (room == 0)
        return;
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(utf8);
    size_t available = 0;
    while (bytes[available] != 0)
        available++;
    size_t length = 0;
    while (available > 0 && length + 1 < room) {
        char32_t character;
        size_t used = DecodeUtf8Character(bytes, available, &character);
        bytes += used;
        available -= used;
        out[length++] = UnicodeToAnsiOrDefault(character);
    }
    out[length] = '\0';
}

} // namespace HostUi
