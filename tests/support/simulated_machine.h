// Points the simulated tools at a machine profile for the tests of the real DLL: the tools run
// in child processes, which inherit this process's environment. With it, what those tests share:
// the choice of machine by the locale they run under and the presence pings the tools log.
#pragma once

#include <cstddef>
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
  // The calls so far as one line, for the message of a failed check.
  std::string Transcript() const;

 private:
  std::wstring logPath_;
};

// Whether this run is on a Chinese system (ANSI code page 936). The tests read the Chinese
// desktop's profile ("desktop-zh") there and the English laptop's ("laptop-en") elsewhere.
bool ChineseSystem();

// The first `count` presence-check pings, as the simulated tools log them.
std::vector<std::string> PresencePings(std::size_t count);

// Offline, the presence check's pings are all that ran.
void ExpectOnlyPings(const std::vector<std::string>& calls);

}  // namespace kestrel::test
