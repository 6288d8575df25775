// Whether the contract program runs under Wine rather than on Windows: Wine
// departs from Windows in a few answers that the contract records.
#pragma once

bool RunningUnderWine();
