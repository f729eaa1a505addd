// Points the simulated tools at a machine profile for the tests of the real DLL: the tools run
// in child processes, which inherit this process's environment.
#pragma once

#include <string>
#include <vector>

namespace kestrel::test {

class SimulatedMachine {
 public:
  // Selects testdata/profiles/<profile> and starts an empty call log.
  explicit SimulatedMachine(const std::string& profile);
  ~SimulatedMachine();
  SimulatedMachine(const SimulatedMachine&) = delete;
  SimulatedMachine& operator=(const SimulatedMachine&) = delete;

  // The command lines the tools answered so far, in order ("? " marks an unknown command).
  std::vector<std::string> Calls() const;

 private:
  std::wstring logPath_;
};

}  // namespace kestrel::test
