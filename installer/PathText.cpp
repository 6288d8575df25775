#include "installer/PathText.h"

#include <string.h>

bool ComposeText(char *field, size_t room, const char *first, const char *second)
{
    size_t firstLength = strlen(first);
    size_t secondLength = strlen(second);
    if (firstLength + secondLength >= room) {
        field[0] = '\0';
        return false;
    }
    // The first text may be the field itself: move, then append.
    memmove(field, first, firstLength);
    memcpy(field + firstLength, second, secondLength + 1);
    return true;
}
