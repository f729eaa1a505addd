#include "core/start_retry.h"

namespace netprobe {

int StartRetryRunner::RunCommand(const std::wstring& command, std::string& output) {
  unsigned long exitCode = 0;
  return RunCommandForExitCode(command, output, exitCode);
}

int StartRetryRunner::RunCommandForExitCode(const std::wstring& command, std::string& output,
                                            unsigned long& exitCode) {
  for (int attempt = 1;; ++attempt) {
    std::string attemptOutput;
    unsigned long attemptExitCode = 0;
    const int started = inner_.RunCommandForExitCode(command, attemptOutput, attemptExitCode);
    const bool toolRan = started == 1 && attemptExitCode != kToolNotStarted;
    if (toolRan || attempt == kCommandStartAttempts) {
      if (!toolRan) {
        NoteNeverStarted(command, attempt);
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
