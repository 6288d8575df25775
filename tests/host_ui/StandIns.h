// Stand-ins for the few file and process operations that the dialog
// procedures call besides the window operations: folders live in memory, so
// the tests of the window manager need no disk and no prefix.
#pragma once

#include <string>
#include <vector>

namespace StandIn
{

// Forgets every folder; the drives C: and D: exist and are empty.
void Reset();
// A folder that exists (its parents need not be added).
void AddFolder(const std::string &path);
// The folders made by CreateDirectoryA since the last Reset, in order.
const std::vector<std::string> &CreatedFolders();

} // namespace StandIn
