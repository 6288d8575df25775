// A scratch folder for a fuzz target's files, removed when the fuzzer ends.
#pragma once

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace FuzzScratch
{

inline std::string &Folder()
{
    static std::string folder;
    return folder;
}

inline int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    remove(path);
    return 0;
}

inline void Remove()
{
    nftw(Folder().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Takes `folder` as the scratch folder and has it removed at exit.
inline void RemoveAtExit(const std::string &folder)
{
    Folder() = folder;
    atexit(Remove);
}

} // namespace FuzzScratch
