#include "support/simulated_machine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "kestrel_endpoints.h"
#include "support/testdata.h"

namespace kestrel::test {

namespace {

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());  // test paths are ASCII
}

}  // namespace

SimulatedMachine::SimulatedMachine(const std::string& profile) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t file[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"sim", 0, file);
  logPath_ = file;
  SetEnvironmentVariableW(L"KESTREL_PROFILE", Widen(TestdataPath("profiles/" + profile)).c_str());
  SetEnvironmentVariableW(L"KESTREL_SIMLOG", logPath_.c_str());
}

SimulatedMachine::~SimulatedMachine() {
  SetEnvironmentVariableW(L"KESTREL_PROFILE", nullptr);
  SetEnvironmentVariableW(L"KESTREL_SIMLOG", nullptr);
  DeleteFileW(logPath_.c_str());
}

std::vector<std::string> SimulatedMachine::Calls() const {
  std::vector<std::string> calls;
  std::ifstream in(logPath_.c_str());
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty()) {
      calls.push_back(line);
    }
  }
  return calls;
}

std::string SimulatedMachine::Transcript() const {
  std::string line = " after:";
  for (const std::string& call : Calls()) {
    line += " [" + call + "]";
  }
  return line;
}

bool ChineseSystem() {
  return GetACP() == 936;
}

std::vector<std::string> PresencePings(std::size_t count) {
  std::vector<std::string> pings;
  for (std::size_t i = 0; i < count; ++i) {
    const std::wstring host = kestrel::endpoints::kPresenceHosts[i];
    pings.push_back("ping " + std::string(host.begin(), host.end()));  // host names are ASCII
  }
  return pings;
}

void ExpectOnlyPings(const std::vector<std::string>& calls) {
  for (const std::string& call : calls) {
    EXPECT_EQ(call.rfind("ping ", 0), 0u) << call;
  }
}

}  // namespace kestrel::test
