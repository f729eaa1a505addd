#include "core/start_retry.h"

namespace netprobe {

int StartRetryRunner::RunCommand(const std::wstring& command, std::string& output) {
  unsigned long exitCode = 0;
  return RunCommandForExitCode(command, output, exitCode);
}

int StartRetryRunner::RunCommandForExitCode(const std::wstring& command, std::string& output,
                                            unsigned long& exitCode) {
  const int attempts = KnownMissing(command) ? 1 : kCommandStartAttempts;
  for (int attempt = 1;; ++attempt) {
    std::string attemptOutput;
    unsigned long attemptExitCode = 0;
    const int started = inner_.RunCommandForExitCode(command, attemptOutput, attemptExitCode);
    const bool toolRan = started == 1 && attemptExitCode != kToolNotStarted;
    if (toolRan || attempt == attempts) {
      if (!toolRan && attempts > 1) {
        NoteNeverStarted(command, attempt);
        if (started == 1) {
          NoteMissing(command);
        }
      }
      if (started == 1) {
        output += attemptOutput;
        exitCode = attemptExitCode;
      }
      return started;
    }
    Pause();
  }
}

int StartRetryRunner::LaunchCommand(const std::wstring& command, int show) {
  for (int attempt = 1;; ++attempt) {
    if (inner_.LaunchCommand(command, show) == 1) {
      return 1;
    }
    if (attempt == kCommandStartAttempts) {
      NoteNeverStarted(command, attempt);
      return 0;
    }
    Pause();
  }
}

bool StartRetryRunner::KnownMissing(const std::wstring& command) {
  const std::lock_guard<std::mutex> hold(lock_);
  return missing_.count(command) != 0;
}

void StartRetryRunner::NoteMissing(const std::wstring& command) {
  try {
    const std::lock_guard<std::mutex> hold(lock_);
    missing_.insert(command);
  } catch (...) {
    // No memory to remember it: the next call tries it four times again.
  }
}

void StartRetryRunner::Pause() {
  if (clock_ != nullptr) {
    clock_->SleepMilliseconds(kCommandRetryPauseMilliseconds);
  }
}

void StartRetryRunner::NoteNeverStarted(const std::wstring& command, int attempts) {
  if (log_ == nullptr) {
    return;
  }
  try {
    log_->Note(L"NetProbe: \"" + command + L"\" did not start in " + std::to_wstring(attempts) +
               L" tries");
  } catch (...) {
    // No memory for the line: the caller still gets the runner's answer.
  }
}

}  // namespace netprobe
