// ANSI texts on the terminal: the installer's texts are Windows-1252 bytes,
// the terminal, the answer lines and the trace speak UTF-8.
#pragma once

#include <stddef.h>
#include <stdio.h>

namespace HostUi
{

// Writes the UTF-8 form of an ANSI byte into `out` (room for 3 bytes); the count.
size_t AnsiByteToUtf8(unsigned char byte, char *out);

// Writes `length` ANSI bytes to `file` in UTF-8.
void WriteAnsi(FILE *file, const char *ansi, size_t length);

// Decodes one UTF-8 character from at most `available` bytes; the count of
// bytes used, at least 1 when `available` is not 0. A byte that does not begin
// a valid, shortest-form character counts as one byte and yields U+FFFD.
size_t DecodeUtf8Character(const unsigned char *bytes, size_t available, char32_t *character);

// The ANSI byte of a Unicode character, '?' where the code page has none
// (the default character of Windows' conversions).
char UnicodeToAnsiOrDefault(char32_t character);

// Converts a UTF-8 text into an ANSI text of at most room - 1 bytes and a zero.
void Utf8ToAnsiText(const char *utf8, char *out, size_t room);

} // namespace HostUi
