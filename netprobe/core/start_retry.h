// A command runner that tries a command again when its process did not start. A busy PC now
// and then refuses a process, or cmd starts but cannot start the tool inside it (exit code
// 9009); either way the tool never ran, and a probe reading its output would see nothing.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "core/platform.h"

namespace netprobe {

// How often a command is tried in all, and the pause before each further try.
inline constexpr int kCommandStartAttempts = 4;
inline constexpr unsigned kCommandRetryPauseMilliseconds = 100;

// Wraps the platform's runner for every probe. A try that started the tool is the answer, its
// output appended as the runner gave it; the output of a try that did not is dropped. When no
// try started the tool, the last try's answer is returned (0 with the output unchanged, or 1 with
// cmd's complaint) and one line naming the command goes to the log. A tool that cmd could not
// find in any try is missing from the PC (wmic on a recent Windows 11), not refused by a busy
// one: later calls of that command get one try, so a probe that samples it many times does not
// pay the pauses each time. Several threads may call it at once when the log allows that.
class StartRetryRunner final : public ICommandRunner {
 public:
  // `clock` and `log` may be null: no pause, no line.
  StartRetryRunner(ICommandRunner& inner, IClock* clock, IDiagnosticLog* log)
      : inner_(inner), clock_(clock), log_(log) {}

  int RunCommand(const std::wstring& command, std::string& output) override;
  int RunCommandForExitCode(const std::wstring& command, std::string& output,
                            unsigned long& exitCode) override;
  int LaunchCommand(const std::wstring& command, int show) override;

 private:
  void Pause();
  void NoteNeverStarted(const std::wstring& command, int attempts);
  bool KnownMissing(const std::wstring& command);
  void NoteMissing(const std::wstring& command);

  ICommandRunner& inner_;
  IClock* clock_;
  IDiagnosticLog* log_;
  std::mutex lock_;
  std::set<std::wstring> missing_;
};

}  // namespace netprobe
