#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kestrel/process_figures.h"

namespace kestrel::win32 {

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return -1;
  }
  const DWORD self = GetCurrentProcessId();
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == self ? 1 : 0;
  }
  CloseHandle(snapshot);
  return count;
}

int HandleCount() {
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles > 0) {
    return static_cast<int>(handles);
  }
  constexpr int kProbes = 256;
  HANDLE probes[kProbes] = {};
  std::uintptr_t highest = 0;
  for (HANDLE& probe : probes) {
    probe = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    highest = std::max(highest, reinterpret_cast<std::uintptr_t>(probe));
  }
  for (HANDLE probe : probes) {
    if (probe != nullptr) {
      CloseHandle(probe);
    }
  }
  // Handle values are multiples of four, from 4.
  return static_cast<int>(highest / 4) - kProbes;
}

std::map<std::string, int> HandleTypes() {
  std::map<std::string, int> types;
  const std::uintptr_t limit = 4 * static_cast<std::uintptr_t>(HandleCount() + 64);
  alignas(8) unsigned char buffer[512];
  for (std::uintptr_t value = 4; value <= limit; value += 4) {
    ULONG length = 0;
    if (NtQueryObject(reinterpret_cast<HANDLE>(value), ObjectTypeInformation, buffer, sizeof buffer,
                      &length) < 0) {
      continue;
    }
    const auto* info = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
    std::string name;
    for (USHORT i = 0; i < info->TypeName.Length / sizeof(wchar_t); ++i) {
      const wchar_t c = info->TypeName.Buffer[i];
      name += c < 0x80 ? static_cast<char>(c) : '?';
    }
    ++types[name];
  }
  return types;
}

int GdiObjectCount() {
  if (const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) {
    return static_cast<int>(objects);
  }
  // Wine's GDI handles are a table index in the low word and a generation in the high one, and
  // a handle with a high word of 0 names whatever lives at its index.
  int count = 0;
  for (std::uintptr_t index = 1; index < 0x10000; ++index) {
    count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0 ? 1 : 0;
  }
  return count;
}

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwn(HWND hwnd, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(hwnd, CountChild, count);
  }
  return TRUE;
}

}  // namespace

int WindowCount() {
  int count = 0;
  EnumWindows(CountOwn, reinterpret_cast<LPARAM>(&count));
  return count;
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    return 0;
  }
  return memory.PrivateUsage;
}

HeapFigures WalkHeaps() {
  HeapFigures figures;
  std::vector<HANDLE> heaps(64);
  for (;;) {
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count <= heaps.size()) {
      heaps.resize(count);
      break;
    }
    heaps.resize(count + 8);  // a heap may be made meanwhile
  }
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) {
      continue;
    }
    ++figures.heaps;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        figures.busyBytes += entry.cbData;
        ++figures.busyBlocks;
      } else if (entry.wFlags & PROCESS_HEAP_REGION) {
        figures.committedBytes += entry.Region.dwCommittedSize;
      }
    }
    HeapUnlock(heap);
  }
  return figures;
}

}  // namespace kestrel::win32
