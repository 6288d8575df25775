// The host build: the host platform follows Windows, never Wine's departures.
#include "tests/contract/Wine.h"

bool RunningUnderWine()
{
    return false;
}
