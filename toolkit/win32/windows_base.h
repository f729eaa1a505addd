// <windows.h> without the macros that rename the painter's DrawText and LoadImage to their
// ...W forms in some files and not in others. Every Win32 file of the toolkit includes this
// instead of <windows.h>, before anything else.
#pragma once

#include <windows.h>

#undef DrawText
#undef LoadImage
