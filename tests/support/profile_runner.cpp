#include "support/profile_runner.h"

#include "core/start_retry.h"

#include <gtest/gtest.h>

#include "support/testdata.h"

namespace kestrel::test {

ProfileRunner::ProfileRunner(const std::string& name) : name_(name) {
  std::string error;
  if (!profile_.Load(TestdataPath("profiles/" + name), &error)) {
    ADD_FAILURE() << "machine profile " << name << " cannot be loaded: " << error;
  }
}

bool ProfileRunner::Answer(const std::wstring& command, std::string* output) {
  const std::lock_guard<std::mutex> hold(lock_);
  calls_.push_back(command);
  const std::string normalised = simtools::NormaliseCommand(simtools::WideToUtf8(command));
  if (notStarting_.count(normalised) != 0) {
    return false;
  }
  if (!profile_.Knows(normalised)) {
    ADD_FAILURE() << "machine profile " << name_ << " has no recording of \"" << normalised
                  << "\"; record it in testdata/profiles/" << name_ << "/commands.txt";
    output->clear();
    return true;
  }
  std::string error;
  if (!profile_.Recording(normalised, runs_[normalised]++, output, &error)) {
    ADD_FAILURE() << "machine profile " << name_ << ": " << error;
    output->clear();
  }
  return true;
}

int ProfileRunner::RunCommand(const std::wstring& command, std::string& output) {
  std::string recorded;
  if (!Answer(command, &recorded)) {
    return 0;
  }
  output += recorded;
  return 1;
}

int ProfileRunner::LaunchCommand(const std::wstring& command, int show) {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    launchShows_.push_back(show);
  }
  std::string discarded;
  return Answer(command, &discarded) ? 1 : 0;
}

std::vector<std::wstring> ProfileRunner::WithRetries(const std::vector<std::wstring>& calls) const {
  std::vector<std::wstring> tried;
  for (const std::wstring& call : calls) {
    const bool refused =
        notStarting_.count(simtools::NormaliseCommand(simtools::WideToUtf8(call))) != 0;
    tried.insert(tried.end(), refused ? netprobe::kCommandStartAttempts : 1, call);
  }
  return tried;
}

void ProfileRunner::FailToStart(const std::wstring& command) {
  const std::lock_guard<std::mutex> hold(lock_);
  notStarting_.insert(simtools::NormaliseCommand(simtools::WideToUtf8(command)));
}

}  // namespace kestrel::test
