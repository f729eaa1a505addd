// A command run on a thread of its own, for callers that start many at once and poll.
#pragma once

#include <atomic>
#include <string>

#include "core/platform.h"

namespace netprobe {

// Owned by the caller, who keeps it alive until `finished` is 1.
struct BackgroundJob {
  std::wstring command;
  std::atomic<int> finished{0};  // written once by the job's thread, polled by the caller
};

// Copies `command` into the job and runs it on a new detached thread, discarding its output;
// the thread sets `finished` to 1 at the end. True when the thread was created.
bool RunCommandInBackground(ICommandRunner& runner, BackgroundJob& job,
                            const std::wstring& command);

}  // namespace netprobe
