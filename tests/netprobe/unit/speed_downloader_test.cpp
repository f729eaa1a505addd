// The speed test's downloader and probe on a scripted transfer and an in-memory payload file.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/probe_error.h"
#include "kestrel_endpoints.h"
#include "probes/speed/speed_downloader.h"
#include "probes/speed/speed_probe.h"
#include "support/fake_machine.h"
#include "support/speed_fakes.h"

namespace kestrel::test {
namespace {

using netprobe::TransferResult;
using std::chrono::milliseconds;

constexpr double kMiB = 1024.0 * 1024.0;
const std::wstring kPath = L"C:\\ProgramData\\QZR.exe";

struct DownloaderRig {
  FakeTransport transport;
  FakeSpeedFiles files;
  FakeClock clock;

  // One download with `limit`; the downloader stays for the test to read.
  bool Run(milliseconds limit) {
    downloader = std::make_unique<netprobe::SpeedDownloader>(transport, files, clock, limit);
    downloader->localPath = kPath;
    downloader->url = "http://127.0.0.1/x";
    downloader->stopRequest.store(netprobe::kKeepRunning);
    return downloader->Download();
  }
  std::unique_ptr<netprobe::SpeedDownloader> downloader;
};

TEST(SpeedDownloader, HeaderOnlyRequestDecidesWhetherToFetch) {
  struct Case {
    const char* name;
    std::vector<FakeTransport::Head> heads;
    std::uint64_t leftover;  // size of a file already at the path, 0 for none
    bool succeeds;
    int headCalls;
    int fetchCalls;
  };
  const Case cases[] = {
      {"announced length", {{true, 4096}}, 0, true, 1, 1},
      {"no length announced", {{true, -1}}, 0, true, 1, 1},
      {"retried until it answers", {{false, 0}, {false, 0}, {true, 4096}}, 0, true, 3, 1},
      // Every attempt failing gives -1, which differs from any file size.
      {"never answers: five retries, then fetched anyway", {{false, 0}}, 0, true, 6, 1},
      {"remote size 0", {{true, 0}}, 0, false, 1, 0},
      {"remote size equal to the local size", {{true, 4096}}, 4096, false, 1, 0},
      // A file that is there and not removed (here: planted) must not be written through.
      {"a file in the way", {{true, 8192}}, 4096, false, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DownloaderRig rig;
    rig.transport.heads = c.heads;
    rig.transport.chunks = {{4096, kMiB}};
    if (c.leftover > 0) {
      rig.files.leftovers[kPath] = c.leftover;
    }
    EXPECT_EQ(rig.Run(milliseconds(20000)), c.succeeds);
    EXPECT_EQ(rig.transport.headCalls, c.headCalls);
    EXPECT_EQ(rig.transport.fetchCalls, c.fetchCalls);
    EXPECT_EQ(rig.clock.sleeps, std::vector<unsigned>(c.headCalls - 1, 100));
    EXPECT_EQ(rig.downloader->resumeOffset, static_cast<std::int64_t>(c.leftover));
    if (c.fetchCalls > 0) {
      EXPECT_EQ(rig.transport.resumedFrom, 0);
      EXPECT_EQ(rig.downloader->LocalFileSize(), 4096u);
    }
  }
}

TEST(SpeedDownloader, OutcomeOfTheTransfer) {
  struct Case {
    const char* name;
    std::vector<FakeTransport::Chunk> chunks;
    TransferResult result;
    std::size_t writeLimit;
    bool succeeds;
    int status;
    std::uint64_t bytes;
    double maxSpeed;
    double minSpeed;
  };
  const std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
  const Case cases[] = {
      {"complete",
       {{1000, 0.0}, {3000, 2 * kMiB}, {0, kMiB}, {96, 3 * kMiB}},
       TransferResult::kComplete,
       kNoLimit,
       true,
       1,
       4096,
       3 * kMiB,
       kMiB},
      {"no positive sample",
       {{10, 0.0}},
       TransferResult::kComplete,
       kNoLimit,
       true,
       1,
       10,
       0.0,
       10000000.0},
      {"dropped half way",
       {{2048, kMiB}},
       TransferResult::kFailed,
       kNoLimit,
       false,
       -1,
       0,
       kMiB,
       kMiB},
      {"disk full", {{2048, kMiB}}, TransferResult::kComplete, 1000, false, -1, 0, 0.0, 10000000.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DownloaderRig rig;
    rig.transport.chunks = c.chunks;
    rig.transport.result = c.result;
    rig.files.writeLimit = c.writeLimit;
    EXPECT_EQ(rig.Run(milliseconds(20000)), c.succeeds);
    netprobe::SpeedDownloader& d = *rig.downloader;
    EXPECT_EQ(d.status, c.status);
    EXPECT_EQ(d.stopRequest.load(), netprobe::kStopRequested);
    EXPECT_EQ(d.maxSpeed, c.maxSpeed);
    EXPECT_EQ(d.minSpeed, c.minSpeed);
    if (c.succeeds) {
      EXPECT_EQ(d.LocalFileSize(), c.bytes);
      EXPECT_TRUE(rig.files.payload->open) << "kept until the figures are read";
    } else {
      EXPECT_TRUE(rig.files.payload->removed) << "a failed transfer leaves no payload";
    }
    rig.downloader.reset();
    EXPECT_TRUE(rig.files.payload->removed);
  }
}

TEST(SpeedDownloader, TimeLimitStopsAStalledTransferKeepingItsBytes) {
  DownloaderRig rig;
  rig.transport.chunks = {{5000, 2 * kMiB}};
  rig.transport.stallAfterChunks = true;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(rig.Run(milliseconds(150)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(150));
  EXPECT_EQ(rig.downloader->status, netprobe::kDownloadNotDone);
  EXPECT_EQ(rig.downloader->LocalFileSize(), 5000u);
  EXPECT_GT(rig.downloader->elapsedSeconds, 0.1);
}

TEST(SpeedDownloader, TransferEndingEarlyEndsTheWatchdogAtOnce) {
  // Many short downloads in a row under the sanitizers: each returns long before the limit and
  // leaves no watchdog behind to touch it once it is destroyed.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    DownloaderRig rig;
    rig.transport.chunks = {{100, kMiB}};
    EXPECT_TRUE(rig.Run(milliseconds(20000)));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(10000));
}

TEST(SpeedDownloader, ElapsedTimeRunsFromTheFirstSample) {
  DownloaderRig rig;
  rig.transport.chunks = {{100, kMiB, 60}, {100, kMiB}};
  EXPECT_TRUE(rig.Run(milliseconds(20000)));
  EXPECT_GE(rig.downloader->elapsedSeconds, 0.06);

  DownloaderRig silent;  // no progress notification at all
  EXPECT_TRUE(silent.Run(milliseconds(20000)));
  EXPECT_EQ(silent.downloader->elapsedSeconds, 0.0);
}

class SpeedProbeTest : public testing::Test {
 protected:
  SpeedProbeTest() : machine_("desktop-zh") {}

  int Probe(ProbeError& error) {
    netprobe::Platform platform = machine_.platform();
    platform.download = &transport;
    platform.speedFiles = &files;
    engine_ = std::make_unique<netprobe::ProbeEngine>(platform);
    SeedRecords(*engine_,
                [&](netprobe::ProbeRecords& r) { r.downloadSpeed.avgDownloadSpeed = "earlier"; });
    SeedRecords(*engine_,
                [&](netprobe::ProbeRecords& r) { r.downloadSpeed.downloadSpeedScore = 77; });
    return engine_->ProbeDownloadSpeed(&error, milliseconds(20000));
  }
  const DownloadSpeedInfo& record() const { return engine_->records().downloadSpeed; }

  FakeTransport transport;
  FakeSpeedFiles files;

 private:
  FakeMachine machine_;
  std::unique_ptr<netprobe::ProbeEngine> engine_;
};

TEST_F(SpeedProbeTest, FetchesThePayloadIntoTheAllUsersFolder) {
  files.folder = L"D:\\AllUsers";
  files.leftovers[L"D:\\AllUsers\\QZR.exe"] = 123;  // an interrupted earlier run's file
  transport.chunks = {{8 << 20, 2 * kMiB}};
  ProbeError error;
  ASSERT_EQ(Probe(error), 1);
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(files.removedLeftovers, std::vector<std::wstring>{L"D:\\AllUsers\\QZR.exe"});
  EXPECT_EQ(files.createdPaths, std::vector<std::wstring>{L"D:\\AllUsers\\QZR.exe"});
  EXPECT_TRUE(files.payload->removed) << "deleted after the test";
  EXPECT_EQ(transport.fetchedUrl, "http://" + std::string(kestrel::endpoints::kSpeedTestHost) +
                                      "/tarvos/DriverFilesUploadFloder/35240/" +
                                      kestrel::endpoints::kSpeedTestFile);
  EXPECT_EQ(netprobe::PayloadUrl(), transport.fetchedUrl);
  EXPECT_EQ(record().maxDownloadSpeed, "2.000MB");
  EXPECT_EQ(record().minDownloadSpeed, "2.000MB");
  EXPECT_FALSE(record().avgDownloadSpeed.empty());
  EXPECT_NE(record().avgDownloadSpeed, "earlier");
}

TEST_F(SpeedProbeTest, FailuresGiveCodeOneAndAResetRecord) {
  struct Case {
    const char* name;
    bool folderKnown;
    bool planted;
    std::int64_t remoteSize;
    TransferResult result;
  };
  const Case cases[] = {
      {"no all-users folder", false, false, 1 << 20, TransferResult::kComplete},
      {"a link planted at the payload's name", true, true, 1 << 20, TransferResult::kComplete},
      {"remote size 0", true, false, 0, TransferResult::kComplete},
      {"dropped half way", true, false, 1 << 20, TransferResult::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files = FakeSpeedFiles();
    transport = FakeTransport();
    files.folderKnown = c.folderKnown;
    if (c.planted) {
      files.planted.insert(kPath);
    }
    transport.heads = {{true, c.remoteSize}};
    transport.chunks = {{1000, kMiB}};
    transport.result = c.result;
    ProbeError error;
    EXPECT_EQ(Probe(error), 0);
    EXPECT_EQ(error.code, netprobe::kSpeedTestFailed);
    EXPECT_EQ(error.message, netprobe::kSpeedTestFailedMessage);
    EXPECT_EQ(record().avgDownloadSpeed, "");
    EXPECT_EQ(record().maxDownloadSpeed, "");
    EXPECT_EQ(record().downloadSpeedScore, 0);
    if (files.payload != nullptr) {
      EXPECT_TRUE(files.payload->removed);
    }
  }
}

}  // namespace
}  // namespace kestrel::test
