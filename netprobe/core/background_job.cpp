#include "core/background_job.h"

#include <system_error>
#include <thread>

namespace netprobe {

bool RunCommandInBackground(ICommandRunner& runner, BackgroundJob& job,
                            const std::wstring& command) {
  job.command = command;
  job.finished.store(0);
  try {
    std::thread([&runner, &job] {
      std::string discarded;
      runner.RunCommand(job.command, discarded);
      job.finished.store(1);
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace netprobe
