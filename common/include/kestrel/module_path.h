// The file a loaded module came from, for the programs and libraries that look for files beside
// themselves. Windows builds only.
#pragma once

#include <string>

namespace kestrel::win32 {

// The full path of the loaded module `module` (an HMODULE; null for the program), whatever its
// length; empty on failure.
std::wstring ModulePath(void* module);

}  // namespace kestrel::win32
