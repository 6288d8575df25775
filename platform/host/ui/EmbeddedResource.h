// The installer's compiled resource file (the .res that the resource compiler
// makes from ui/resources/Install.rc), built into the program: the host reads
// its dialog templates from the same bytes as the Windows builds link in.
#pragma once

#include <stddef.h>

namespace HostUi
{

extern const unsigned char InstallerResource[];
extern const size_t InstallerResourceSize;

} // namespace HostUi
