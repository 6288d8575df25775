// Windows-1252, the ANSI code page of the installer's texts off Windows.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The Unicode character of an ANSI byte. The five bytes that the code page
// leaves undefined map to the control characters of the same value, as on Windows.
char16_t AnsiToUnicode(unsigned char byte);

// The ANSI byte of a Unicode character, or -1 when the code page has none.
int UnicodeToAnsi(char32_t character);

// One character of a UTF-8 text: the number of bytes it takes, or 0 when the
// bytes at `text` are not a valid, shortest-form UTF-8 character (or the end).
size_t DecodeUtf8(const char *text, char32_t *character);

// Writes the UTF-8 bytes of `character` (at most 4) and returns their number.
size_t EncodeUtf8(char32_t character, char *out);
