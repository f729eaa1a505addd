// windows.h first: the tool help header needs its types.
#include <windows.h>

#include <tlhelp32.h>

#include "dll_support.h"

#include "kestrel/process_figures.h"

#include <algorithm>
#include <atomic>
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

namespace {

std::vector<unsigned long> ThreadIds() {
  std::vector<unsigned long> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return ids;
  }
  const DWORD self = GetCurrentProcessId();
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == self) {
      ids.push_back(entry.th32ThreadID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

}  // namespace

NewThreads::NewThreads() : before_(ThreadIds()) {}

NewThreads::~NewThreads() {
  for (void* handle : handles_) {
    CloseHandle(handle);
  }
}

void NewThreads::Open() {
  for (unsigned long id : ThreadIds()) {
    if (std::find(before_.begin(), before_.end(), id) != before_.end()) {
      continue;
    }
    before_.push_back(id);
    if (HANDLE handle = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id)) {
      handles_.push_back(handle);
    }
  }
}

int NewThreads::ForcedEnds() const {
  int forced = 0;
  for (void* handle : handles_) {
    DWORD code = 0;
    if (GetExitCodeThread(handle, &code) && code == 1) {
      ++forced;
    }
  }
  return forced;
}

int ThreadCount() {
  return kestrel::win32::ThreadCount();
}

int HandleCount() {
  return kestrel::win32::HandleCount();
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

struct StallWatch::State {
  double minimumMs;
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::vector<double> gaps;  // guarded by lock
  HANDLE thread = nullptr;

  static DWORD WINAPI Run(LPVOID parameter) {
    auto* state = static_cast<State*>(parameter);
    double last = NowMs();
    while (!state->stop) {
      Sleep(1);
      const double now = NowMs();
      if (now - last > state->minimumMs) {
        std::lock_guard<std::mutex> hold(state->lock);
        state->gaps.push_back(now - last);
      }
      last = now;
    }
    return 0;
  }
};

StallWatch::StallWatch(double minimumMs) : state_(new State) {
  state_->minimumMs = minimumMs;
  state_->thread = CreateThread(nullptr, 0, &State::Run, state_, 0, nullptr);
}

StallWatch::~StallWatch() {
  Stop();
  delete state_;
}

std::vector<double> StallWatch::Stop() {
  if (state_->thread != nullptr) {
    state_->stop = true;
    WaitForSingleObject(state_->thread, INFINITE);
    CloseHandle(state_->thread);
    state_->thread = nullptr;
  }
  std::lock_guard<std::mutex> hold(state_->lock);
  return state_->gaps;
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
