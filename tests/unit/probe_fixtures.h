// Helpers of the probe tests: a machine on whichever code page this system offers, a command
// runner for output no recorded machine prints, and small edits of recorded output.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/platform.h"
#include "support/fake_machine.h"
#include "support/profile_runner.h"

namespace kestrel::test {

// A simulated machine on code page 936 when this system offers it, else 1252: for probes that
// read their output the same under both.
inline std::unique_ptr<FakeMachine> AnyCodePageMachine(const std::string& profile) {
  for (unsigned page : {936u, 1252u}) {
    auto machine = std::make_unique<FakeMachine>(profile, page);
    if (machine->codePage != nullptr) {
      return machine;
    }
  }
  ADD_FAILURE() << "this system offers neither code page 936 nor 1252";
  return nullptr;
}

// Chosen commands get scripted answers (damaged, oversized, a particular sequence); every other
// command is answered by the machine's profile.
class ScriptedRunner : public netprobe::ICommandRunner {
 public:
  explicit ScriptedRunner(ProfileRunner& profile) : profile_(profile) {}

  // Successive runs of `command` get successive outputs; the last one repeats.
  void Script(const std::wstring& command, std::vector<std::string> outputs) {
    scripts_[command] = std::move(outputs);
  }

  int RunCommand(const std::wstring& command, std::string& output) override {
    const auto found = scripts_.find(command);
    if (found == scripts_.end()) {
      return profile_.RunCommand(command, output);
    }
    const std::vector<std::string>& outputs = found->second;
    const std::size_t run = runs_[command]++;
    if (!outputs.empty()) {
      output += outputs[run < outputs.size() ? run : outputs.size() - 1];
    }
    return 1;
  }

  int LaunchCommand(const std::wstring& command, int show) override {
    return profile_.LaunchCommand(command, show);
  }

  // How often a scripted command ran.
  std::size_t Runs(const std::wstring& command) const {
    const auto found = runs_.find(command);
    return found == runs_.end() ? 0 : found->second;
  }

 private:
  ProfileRunner& profile_;
  std::map<std::wstring, std::vector<std::string>> scripts_;
  std::map<std::wstring, std::size_t> runs_;
};

// `text` with its first `from` replaced by `to`; fails the test when `from` is missing.
inline std::string ReplacedOnce(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no \"" << from << "\" to replace";
    return text;
  }
  return text.replace(at, from.size(), to);
}

// `text` up to (not including) the first `marker`, or whole when the marker is missing.
inline std::string CutBefore(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no \"" << marker << "\" to cut at";
    return text;
  }
  return text.substr(0, at);
}

}  // namespace kestrel::test
