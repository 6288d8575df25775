// Windows-1252, the ANSI code page of the installer's texts off Windows.
#pragma once

#include <stdint.h>

// The Unicode character of an ANSI byte. The five bytes that the code page
// leaves undefined map to the control characters of the same value, as on Windows.
char16_t AnsiToUnicode(unsigned char byte);

// The ANSI byte of a Unicode character, or -1 when the code page has none.
int UnicodeToAnsi(char32_t character);
