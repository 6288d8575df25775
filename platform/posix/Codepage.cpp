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
