// Helpers of the probe tests: a machine whose commands can be given output no recorded machine
// prints, a fixture for the tests of exports, and small edits of recorded output.
//
// A machine keeps FakeMachine's default code page (936) unless a test is about the code page:
// the probes tested here read their output the same under 936 and 1252.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/platform.h"
#include "dll/engine_instance.h"
#include "dll/probe_engine.h"
#include "support/fake_machine.h"
#include "support/profile_runner.h"

namespace kestrel::test {

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

// A way a command can fail a probe: it does not start, or it prints `output`; either way the
// probe reports `code` and `message`.
struct CommandFailure {
  const char* what;
  bool starts;
  std::string output;
  int code;
  const char* message;
};

// A simulated machine on which chosen commands get scripted answers; the profile's runner still
// answers (and logs) every other command.
class ScriptedMachine : public FakeMachine {
 public:
  explicit ScriptedMachine(const std::string& profile) : FakeMachine(profile), scripts(runner) {}

  // `command` fails as `failure` says.
  void Fail(const std::wstring& command, const CommandFailure& failure) {
    if (failure.starts) {
      scripts.Script(command, {failure.output});
    } else {
      runner.FailToStart(command);
    }
  }

  // A fresh engine whose commands go to the scripts first.
  std::unique_ptr<netprobe::ProbeEngine> MakeScriptedEngine() {
    netprobe::Platform services = platform();
    services.commands = &scripts;
    return std::make_unique<netprobe::ProbeEngine>(services);
  }

  ScriptedRunner scripts;
};

// Tests of an export: each installs an engine on a simulated machine, as the library's loader
// would, and the engine is destroyed after it.
class ExportTest : public testing::Test {
 protected:
  FakeMachine& InstallMachine(const std::string& profile) {
    machine_ = std::make_unique<FakeMachine>(profile);
    machine_->InstallEngine();
    return *machine_;
  }

  void TearDown() override { netprobe::DestroyEngine(); }

 private:
  std::unique_ptr<FakeMachine> machine_;
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

// `text` with every occurrence of `from` replaced by `to`.
inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace kestrel::test
