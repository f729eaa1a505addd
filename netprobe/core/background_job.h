// A command run on a thread of its own, for callers that start many at once and poll.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "core/platform.h"

namespace netprobe {

// Owned by the caller, who keeps it alive until `finished` is 1. A finished job may be started
// again. Its thread is joined, never detached: at a new start and when the job goes, so a job
// outlives its thread. (Hundreds of detached threads ending at once corrupted the threads' own
// state under Wine: a job thread faulted on its captured job.)
struct BackgroundJob {
  BackgroundJob() = default;
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;
  ~BackgroundJob() { Join(); }
  void Join() {
    if (thread.joinable()) {
      thread.join();
    }
  }

  std::wstring command;
  std::atomic<int> started{0};   // 1 when the command's tool was started
  std::atomic<int> finished{0};  // written last by the job's thread, polled by the caller
  std::thread thread;
};

// Copies `command` into the job and runs it on a new thread of the job, discarding its output;
// the thread sets `started` (0 when cmd or the tool inside it could not be started), then
// `finished` to 1. True when the thread was created.
bool RunCommandInBackground(ICommandRunner& runner, BackgroundJob& job,
                            const std::wstring& command);

}  // namespace netprobe
