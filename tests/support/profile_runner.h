// A command runner that answers from a recorded machine profile, for native tests of probes.
// The same profiles feed simtools under Wine.
#pragma once

#include <map>
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

  // The recorded output for the command (successive runs get successive recordings). A command
  // the profile does not know fails the test loudly and yields empty output.
  int RunCommand(const std::wstring& command, std::string& output) override;
  int LaunchCommand(const std::wstring& command, int show) override;

  // From now on this command does not start (RunCommand and LaunchCommand return 0).
  void FailToStart(const std::wstring& command);

  // Every command run or launched, in order.
  const std::vector<std::wstring>& calls() const { return calls_; }

 private:
  bool Answer(const std::wstring& command, std::string* output);

  simtools::Profile profile_;
  std::map<std::string, std::size_t> runs_;
  std::set<std::wstring> notStarting_;
  std::vector<std::wstring> calls_;
};

}  // namespace kestrel::test
