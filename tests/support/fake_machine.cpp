#include "support/fake_machine.h"

#include <gtest/gtest.h>

#include "core/shared.h"
#include "dll/engine_instance.h"
#include "profile.h"
#include "support/testdata.h"

namespace kestrel::test {

bool FakeSystem::OsVersion(unsigned& majorOut, unsigned& minorOut) {
  if (!versionKnown) {
    return false;
  }
  majorOut = major;
  minorOut = minor;
  return true;
}

bool FakeSystem::ReadCurrentVersionValue(const std::wstring& name, std::wstring& value) {
  const auto found = currentVersionValues.find(name);
  if (found == currentVersionValues.end()) {
    return false;
  }
  value = found->second;
  return true;
}

bool FakeSystem::MemoryStatus(std::uint64_t& totalBytes, std::uint64_t& availableBytes) {
  if (!memoryKnown) {
    return false;
  }
  totalBytes = totalMemoryBytes;
  availableBytes = availableMemoryBytes;
  return true;
}

bool FakeSystem::DiskSpace(const std::wstring& path, std::uint64_t& totalBytes,
                           std::uint64_t& freeToCallerBytes) {
  diskSpaceQueries.push_back(path);
  if (!diskKnown) {
    return false;
  }
  totalBytes = diskTotalBytes;
  freeToCallerBytes = diskFreeToCallerBytes;
  return true;
}

int FakeFiles::WriteTextFile(const std::string& text, const std::wstring& fileName) {
  written[fileName] = text;
  return 1;
}

int FakeFiles::GetCommonAppDataFolder(std::wstring& folder) {
  if (commonAppData.empty()) {
    return 0;
  }
  folder = commonAppData;
  return 1;
}

int FakeFiles::ReplaceTextFileAt(const std::wstring& path, const std::string& text) {
  if (!writable) {
    return 0;
  }
  writtenAt[path] = text;
  return 1;
}

netprobe::HttpUploadStatus FakeUpload::Send(const netprobe::HttpUploadRequest& request,
                                            std::string& out) {
  sent.push_back(request);
  if (status == netprobe::HttpUploadStatus::kDone) {
    out = answer;
  }
  return status;
}

int FakeFiles::ReadTextLines(const std::wstring& path, std::vector<std::string>& out) {
  const auto found = lines.find(path);
  if (found == lines.end() || found->second.empty()) {
    return 0;
  }
  out.insert(out.end(), found->second.begin(), found->second.end());
  return 1;
}

FakeAdapters::FakeAdapters(const std::string& profile) {
  std::string text;
  if (!simtools::ReadFileBytes(TestdataPath("profiles/" + profile + "/adapters.txt"), &text)) {
    return;  // a machine without an adapter table of its own
  }
  std::vector<simtools::AdapterEntry> entries;
  std::string error;
  if (!simtools::ParseAdapterTable(text, &entries, &error)) {
    ADD_FAILURE() << "profile " << profile << ": " << error;
  }
  for (const simtools::AdapterEntry& entry : entries) {
    adapters.push_back(
        {simtools::Utf8ToWide(entry.description), simtools::Utf8ToWide(entry.friendlyName)});
  }
}

bool FakeAdapters::ListAdapters(std::vector<netprobe::AdapterName>& out) {
  ++queries;
  if (!readable) {
    return false;
  }
  out.insert(out.end(), adapters.begin(), adapters.end());
  return true;
}

FakeMachine::FakeMachine(const std::string& profile, unsigned ansiCodePage)
    : runner(profile),
      codePage(netprobe::MakeFixedCodePage(ansiCodePage, ansiCodePage == 936 ? 936 : 437)),
      adapters(profile) {}

netprobe::Platform FakeMachine::platform() {
  netprobe::Platform platform;
  platform.commands = &runner;
  platform.codePage = codePage.get();
  platform.files = &files;
  platform.system = &system;
  platform.clock = &clock;
  platform.adapters = &adapters;
  platform.upload = &upload;
  return platform;
}

std::unique_ptr<netprobe::ProbeEngine> FakeMachine::MakeEngine() {
  return std::make_unique<netprobe::ProbeEngine>(platform());
}

void FakeMachine::InstallEngine() {
  netprobe::InstallEngine(MakeEngine());
}

}  // namespace kestrel::test
