// Bounded composition of texts into the fixed fields of the installer state.
#pragma once

#include <stddef.h>

// Writes `first` followed by `second` into `field`. When the whole text and its
// terminating zero do not fit `room` bytes, the field is left empty and the
// result is false: an over-long path is refused, never cut short.
bool ComposeText(char *field, size_t room, const char *first, const char *second);

template <size_t Room> bool ComposeText(char (&field)[Room], const char *first, const char *second)
{
    return ComposeText(field, Room, first, second);
}
