// windows.h first: the tool help header needs its types.
#include <windows.h>

#include <tlhelp32.h>

#include "dll_support.h"

#include <algorithm>
#include <cstdlib>

#include "tone_analysis.h"

namespace micprobe::test {

std::string PulseDir() {
  const char* dir = std::getenv("KESTREL_PULSE_DIR");
  return dir == nullptr ? std::string() : std::string(dir);
}

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    return 0;
  }
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

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
    if (entry.th32OwnerProcessID == self) {
      ++count;
    }
  }
  CloseHandle(snapshot);
  return count;
}

// Wine answers GetProcessHandleCount with 0, so the count is read from the handle table: new
// handles take the lowest free slots, and every handle still open pushes the highest one up.
int HandleCount() {
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
  return static_cast<int>(highest / 4) - kProbes;
}

double NowMs() {
  LARGE_INTEGER frequency{}, now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int BlockLog::Callback(short* samples, int count, void* context) {
  auto* log = static_cast<BlockLog*>(context);
  const double now = NowMs();
  const std::uint64_t bytes = log->speakerPath.empty() ? 0 : FileSize(log->speakerPath);
  std::lock_guard<std::mutex> hold(log->lock);
  log->times.push_back(now);
  log->counts.push_back(count);
  log->speakerBytes.push_back(bytes);
  if (log->firstBlock.empty() && BlockHasTone(samples, static_cast<std::size_t>(count))) {
    log->firstBlock.assign(samples, samples + count);
  }
  return 0;
}

std::size_t BlockLog::Size() {
  std::lock_guard<std::mutex> hold(lock);
  return times.size();
}

bool WaitUntil(const std::function<bool()>& done, double limitMs) {
  const double until = NowMs() + limitMs;
  while (!done()) {
    if (NowMs() > until) {
      return false;
    }
    Sleep(10);
  }
  return true;
}

}  // namespace micprobe::test
