// The WOW64 test: IsWow64Process looked up at run time, since old systems lack it.
#include <windows.h>

#include <atomic>

#include "kestrel/wow64.h"

namespace kestrel::win32 {

namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// Looked up once; stays null until a look-up has succeeded. Background jobs call IsWow64 from
// many threads at once, hence atomic.
std::atomic<IsWow64ProcessFn> g_isWow64Process{nullptr};

}  // namespace

int IsWow64() noexcept {
  IsWow64ProcessFn isWow64Process = g_isWow64Process.load();
  if (isWow64Process == nullptr) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
      return 0;
    }
    FARPROC address = GetProcAddress(kernel, "IsWow64Process");
    if (address == nullptr) {
      return 0;
    }
    // Through void*: the exported address has a generic type, the function has its own.
    isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(address));
    g_isWow64Process.store(isWow64Process);
  }
  BOOL wow64 = FALSE;
  return isWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE ? 1 : 0;
}

}  // namespace kestrel::win32
