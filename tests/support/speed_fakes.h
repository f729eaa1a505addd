// Stand-ins for the speed test's HTTP transfer and payload file.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "probes/speed/speed_platform.h"

namespace kestrel::test {

// Answers header-only requests from a list and plays one scripted transfer.
class FakeTransport : public netprobe::IDownloadTransport {
 public:
  struct Head {
    bool succeeds;
    std::int64_t length;
  };
  struct Chunk {
    std::size_t bytes;     // handed to OnData first (0 for none)
    double speed;          // then reported to OnProgress
    unsigned pauseMs = 0;  // then a real pause
  };

  bool HeadRequest(const std::string& url, std::int64_t& contentLength) override;
  netprobe::TransferResult Fetch(const std::string& url, std::int64_t resumeFrom,
                                 netprobe::ITransferSink& sink) override;

  std::vector<Head> heads = {{true, 1 << 20}};  // the last one repeats
  std::vector<Chunk> chunks;
  // After the chunks: the result, or (stallAfterChunks) progress of 0 every few ms until the
  // sink asks to stop.
  netprobe::TransferResult result = netprobe::TransferResult::kComplete;
  bool stallAfterChunks = false;

  int headCalls = 0;
  int fetchCalls = 0;
  std::string fetchedUrl;
  std::int64_t resumedFrom = -2;
};

// The payload's folder and files in memory.
class FakeSpeedFiles : public netprobe::ISpeedTestFiles {
 public:
  struct Payload {
    std::string bytes;
    bool open = false;
    bool removed = false;
  };

  bool CommonAppDataFolder(std::wstring& folder) override;
  void RemoveLeftover(const std::wstring& path) override;
  std::uint64_t FileSize(const std::wstring& path) override;
  std::unique_ptr<netprobe::IPayloadFile> CreateNew(const std::wstring& path) override;

  bool folderKnown = true;
  std::wstring folder = L"C:\\ProgramData";
  std::map<std::wstring, std::uint64_t> leftovers;  // plain files, removed by RemoveLeftover
  std::set<std::wstring> planted;                   // links and folders, never removed
  std::size_t writeLimit =
      std::numeric_limits<std::size_t>::max();  // a full disk after this many bytes

  std::vector<std::wstring> removedLeftovers;
  std::vector<std::wstring> createdPaths;
  std::shared_ptr<Payload> payload;  // the last one created
};

}  // namespace kestrel::test
