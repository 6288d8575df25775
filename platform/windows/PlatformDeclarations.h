// On Windows the installer calls the real operations, declared by the system headers.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
