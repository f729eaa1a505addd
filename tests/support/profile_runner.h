// A command runner that answers from a recorded machine profile, for native tests of probes.
// The same profiles feed simtools under Wine.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/platform.h"
#include "profile.h"

namespace kestrel::test {

class ProfileRunner : public netprobe::ICommandRunner {
 public:
  // testdata/profiles/<name>/commands.txt; a profile that cannot be loaded fails the test.
  explicit ProfileRunner(const std::string& name);

  // The recorded output for the command (successive runs get successive recordings, the last
  // one repeating). A command the profile does not know fails the test loudly and yields empty
  // output with result 1, as cmd would start and print only an error.
  int RunCommand(const std::wstring& command, std::string& output) override;
  // As RunCommand, the output discarded; the profile must still know the command.
  int LaunchCommand(const std::wstring& command, int show) override;

  // From now on this command does not start (RunCommand and LaunchCommand return 0). Matched
  // like profile commands (tool name in any case, blanks around the arguments ignored).
  void FailToStart(const std::wstring& command);

  // Every command run or launched, in order, as the caller wrote it (also those that did not
  // start).
  // Whether the profile has a recording of the command.
  bool Knows(const std::wstring& command) const {
    return profile_.Knows(simtools::WideToUtf8(command));
  }

  // Read it only while no command runs.
  const std::vector<std::wstring>& calls() const { return calls_; }
  // `calls` as the engine makes them: each command that does not start is tried
  // netprobe::kCommandStartAttempts times in a row before the probe goes on.
  std::vector<std::wstring> WithRetries(const std::vector<std::wstring>& calls) const;
  // The window setting of each launch, in order: tools must run hidden.
  const std::vector<int>& launchShows() const { return launchShows_; }

 private:
  // Records the call; false when it does not start, else the recording (empty when unknown).
  bool Answer(const std::wstring& command, std::string* output);

  // The LAN sweep runs hundreds of commands at once: every call takes the lock.
  mutable std::mutex lock_;
  std::string name_;
  simtools::Profile profile_;
  std::map<std::string, std::size_t> runs_;  // normalised command -> runs so far
  std::set<std::string> notStarting_;        // normalised commands
  std::vector<std::wstring> calls_;
  std::vector<int> launchShows_;
};

}  // namespace kestrel::test
