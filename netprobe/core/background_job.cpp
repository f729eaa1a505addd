#include "core/background_job.h"

#include <system_error>
#include <thread>

namespace netprobe {

bool RunCommandInBackground(ICommandRunner& runner, BackgroundJob& job,
                            const std::wstring& command) {
  job.Join();  // an earlier run's thread, done or nearly: it set `finished` last
  job.command = command;
  job.started.store(0);
  job.finished.store(0);
  try {
    job.thread = std::thread([&runner, &job] {
      std::string discarded;
      unsigned long exitCode = 0;
      const int result = runner.RunCommandForExitCode(job.command, discarded, exitCode);
      job.started.store(result == 1 && exitCode != ICommandRunner::kToolNotStarted ? 1 : 0);
      job.finished.store(1);  // the job's last touch: the caller may reuse it from here on
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace netprobe
