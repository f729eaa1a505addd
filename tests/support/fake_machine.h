// A simulated machine for native tests of probes and exports: commands answered from a recorded
// profile, and the system's own queries answered from fields a test sets.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/platform.h"
#include "dll/probe_engine.h"
#include "support/profile_runner.h"

namespace kestrel::test {

// Changes the engine's records the way an earlier run would have left them.
template <typename Change>
void SeedRecords(netprobe::ProbeEngine& engine, Change change) {
  netprobe::ProbeRecords records = engine.records();
  change(records);
  engine.ReplaceRecords(std::move(records));
}

class FakeSystem : public netprobe::ISystemInfo {
 public:
  bool OsVersion(unsigned& major, unsigned& minor) override;
  bool ReadCurrentVersionValue(const std::wstring& name, std::wstring& value) override;
  bool MemoryStatus(std::uint64_t& totalBytes, std::uint64_t& availableBytes) override;
  std::wstring SystemDirectory() override { return systemDirectory; }
  bool DiskSpace(const std::wstring& path, std::uint64_t& totalBytes,
                 std::uint64_t& freeToCallerBytes) override;

  // A Windows 10 desktop with 16 GB, a 500 GB system drive, until a test changes it.
  bool versionKnown = true;
  unsigned major = 10;
  unsigned minor = 0;
  std::map<std::wstring, std::wstring> currentVersionValues{{L"ProductName", L"Windows 10 Pro"},
                                                            {L"ReleaseId", L"2009"}};
  bool memoryKnown = true;
  std::uint64_t totalMemoryBytes = 17179869184ULL;
  std::uint64_t availableMemoryBytes = 8589934592ULL;
  std::wstring systemDirectory = L"C:\\Windows\\system32";
  bool diskKnown = true;
  std::uint64_t diskTotalBytes = 500107862016ULL;
  std::uint64_t diskFreeToCallerBytes = 250053931008ULL;
  std::vector<std::wstring> diskSpaceQueries;  // paths asked for, in order
};

class FakeClock : public netprobe::IClock {
 public:
  void SleepMilliseconds(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
  std::vector<unsigned> sleeps;
};

class FakeFiles : public netprobe::IFiles {
 public:
  int WriteTextFile(const std::string& text, const std::wstring& fileName) override;
  int ReadTextLines(const std::wstring& path, std::vector<std::string>& lines) override;
  int GetCommonAppDataFolder(std::wstring& folder) override;
  int ReplaceTextFileAt(const std::wstring& path, const std::string& text) override;
  bool FileExists(const std::wstring& path) override {
    return existing.count(path) != 0 || writtenAt.count(path) != 0;
  }

  std::map<std::wstring, std::string> written;             // file name -> last text written
  std::map<std::wstring, std::vector<std::string>> lines;  // path -> lines to read
  std::wstring commonAppData = L"C:\\ProgramData";         // empty: the folder is not found
  std::map<std::wstring, std::string> writtenAt;           // full path -> last text written
  bool writable = true;
  std::set<std::wstring> existing;  // paths that exist besides writtenAt
};

// The adapter list of the profile's adapters.txt (none when the file is missing); tests may
// change it.
class FakeAdapters : public netprobe::IAdapterNames {
 public:
  explicit FakeAdapters(const std::string& profile);
  bool ListAdapters(std::vector<netprobe::AdapterName>& adapters) override;

  bool readable = true;
  std::vector<netprobe::AdapterName> adapters;
  int queries = 0;
};

// An upload that answers from a script and keeps what was sent.
class FakeUpload : public netprobe::IHttpUpload {
 public:
  netprobe::HttpUploadStatus Send(const netprobe::HttpUploadRequest& request,
                                  std::string& answer) override;
  netprobe::HttpUploadStatus status = netprobe::HttpUploadStatus::kDone;
  std::string answer;  // given for kDone
  std::vector<netprobe::HttpUploadRequest> sent;
};

// The services of one simulated machine, and an engine built on them.
class FakeMachine {
 public:
  // `profile` names a folder of testdata/profiles; `ansiCodePage` 936 gives a Chinese system,
  // whatever code page the test itself runs under.
  explicit FakeMachine(const std::string& profile, unsigned ansiCodePage = 936);

  netprobe::Platform platform();
  // A fresh engine on these services.
  std::unique_ptr<netprobe::ProbeEngine> MakeEngine();
  // Makes a fresh engine the process's engine, as the library's loader would.
  void InstallEngine();

  ProfileRunner runner;
  std::unique_ptr<netprobe::ICodePage> codePage;
  FakeSystem system;
  FakeClock clock;
  FakeFiles files;
  FakeAdapters adapters;
  FakeUpload upload;
};

}  // namespace kestrel::test
