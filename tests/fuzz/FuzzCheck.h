// A fuzz target's invariant: a violation stops the fuzzer with a crash report.
#pragma once

#include <stdlib.h>

inline void Require(bool condition)
{
    if (!condition)
        abort();
}
