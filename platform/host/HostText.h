// Texts between the installer and the host: the installer's ANSI texts are
// Windows-1252, host file names are UTF-8, the shell link's strings UTF-16.
// Every conversion is bounded by the room of its output and reports whether
// the whole text fit; a text that does not fit is never cut silently.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/posix/Codepage.h"

// ANSI (Windows-1252) to UTF-8. False, with an empty output, when it does not fit.
bool AnsiToUtf8(const char *ansi, char *out, size_t room);

// UTF-8 to ANSI: a character the code page lacks, or a byte that is not UTF-8,
// becomes '?', as Windows' default character. False when it does not fit.
bool Utf8ToAnsi(const char *utf8, char *out, size_t room);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. False when it does not fit.
bool Utf16ToUtf8(const char16_t *wide, char *out, size_t room);

// The number of UTF-16 units of a UTF-8 text, as Windows counts a path's length.
size_t Utf16Length(const char *utf8);

// The upper-case form with which file names are compared: Windows compares
// names by a simple per-character upcase table, not by locale.
char32_t UpcaseForNames(char32_t character);

// True when two UTF-8 names are equal without regard to case. A name that is
// not valid UTF-8 equals only itself, byte for byte.
bool NamesMatch(const char *first, const char *second);
