// Whether this is a 32-bit process on 64-bit Windows, for the modules that run the system's
// tools or read its registry (they must reach the 64-bit ones). Windows builds only.
#pragma once

namespace kestrel::win32 {

// 1 when the current process runs under WOW64. IsWow64Process is looked up in kernel32.dll on
// first use and kept; 0 when it is missing or the call fails. Safe from any thread.
int IsWow64() noexcept;

}  // namespace kestrel::win32
