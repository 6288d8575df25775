// The running program as Windows sees it: its module handle and the host
// path of its executable.
#pragma once

// Remembers how the program was started (argv[0]): a path with a slash names
// the executable as the user reached it, its last name not followed through a
// symbolic link. Without it, or for a bare name found through PATH, the
// executable is the one the kernel reports (/proc/self/exe).
void RememberProgramPath(const char *argument0);

// The absolute host path of the executable; false when it cannot be told.
bool ProgramHostPath(char *out, unsigned long room);
