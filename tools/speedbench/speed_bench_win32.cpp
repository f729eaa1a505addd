// How close the download speed test comes to a known rate: the real NetProbe.dll against our
// server paced by its token bucket. For each RATE:BYTES it sets the server's pace (bytes per
// second) and payload size, calls GetNetworkDownloadSpeed RUNS times and prints the true rate
// and the measured bandwidth, both in mebibits per second, with the error in percent.
// scripts/bench-speed starts the server and runs this under Wine.
//
//   kestrel_speed_bench.exe RUNS RATE:BYTES [RATE:BYTES...]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "NetProbe.h"
#include "support/server_http.h"

namespace {

// The export's own time limit; a run that takes this long was stopped before its end.
constexpr double kTimeLimitSeconds = 20.0;

struct Pace {
  long long rate = 0;   // bytes per second
  long long bytes = 0;  // payload size
};

bool ParsePace(const char* text, Pace& pace) {
  char* end = nullptr;
  pace.rate = std::strtoll(text, &end, 10);
  if (end == text || *end != ':') {
    return false;
  }
  const char* bytes = end + 1;
  pace.bytes = std::strtoll(bytes, &end, 10);
  return end != bytes && *end == '\0' && pace.rate > 0 && pace.bytes > 0;
}

bool Control(const std::string& pathAndQuery) {
  return kestrel::test::Http(pathAndQuery, true).status == 200;
}

double Mebibits(double bytesPerSecond) {
  return bytesPerSecond * 8.0 / 1024.0 / 1024.0;
}

// One rate: RUNS calls, a line each and a summary line. False when a call failed.
bool MeasurePace(const Pace& pace, int runs) {
  const double expected = Mebibits(static_cast<double>(pace.rate));
  std::printf("%g Mbit/s (%lld B/s, payload %lld bytes, %.1f s at that pace): true %.3f Mibit/s\n",
              static_cast<double>(pace.rate) * 8.0 / 1e6, pace.rate, pace.bytes,
              static_cast<double>(pace.bytes) / static_cast<double>(pace.rate), expected);
  std::vector<double> errors;
  for (int run = 1; run <= runs; ++run) {
    const std::string query = "/_test/set?payload.rate=" + std::to_string(pace.rate) +
                              "&payload.bytes=" + std::to_string(pace.bytes);
    if (!Control("/_test/reset") || !Control(query)) {
      std::printf("  run %d: the server's test control did not answer\n", run);
      return false;
    }
    // The export's presence check, timed on its own, so that the rest of its time is the
    // header-only request and the transfer.
    const auto presenceStart = std::chrono::steady_clock::now();
    GetNetworkState();
    const double presence =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - presenceStart).count();
    const DownloadSpeedInfo* info = nullptr;
    ProbeError error;
    const auto start = std::chrono::steady_clock::now();
    const int result = GetNetworkDownloadSpeed(&info, &error);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result != 1 || info == nullptr) {
      std::printf("  run %d: GetNetworkDownloadSpeed -> %d, code %d\n", run, result, error.code);
      return false;
    }
    const double measured = std::atof(info->bandwidthSpeed.c_str());
    const double percent = (measured - expected) / expected * 100.0;
    errors.push_back(percent);
    // The transfer time the library measured, back from its average (without the cap).
    const double timed = measured > 0 ? Mebibits(static_cast<double>(pace.bytes)) / measured : 0.0;
    std::printf(
        "  run %d: bandwidthSpeed %-14s error %+6.2f%%   avg %s max %s min %s; export %.2f s "
        "(presence check %.2f s), timed transfer %.2f s%s\n",
        run, info->bandwidthSpeed.c_str(), percent, info->avgDownloadSpeed.c_str(),
        info->maxDownloadSpeed.c_str(), info->minDownloadSpeed.c_str(), seconds, presence, timed,
        seconds - presence >= kTimeLimitSeconds - 0.5 ? " (stopped at the time limit)" : "");
    std::fflush(stdout);
  }
  double sum = 0;
  double worst = 0;
  for (double e : errors) {
    sum += e;
    worst = std::max(worst, std::fabs(e));
  }
  std::printf("  => true %.3f Mibit/s, mean error %+.2f%%, worst %.2f%% (%d runs)\n", expected,
              sum / static_cast<double>(errors.size()), worst, runs);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 0;
  std::vector<Pace> paces;
  for (int i = 2; i < argc; ++i) {
    Pace pace;
    if (!ParsePace(argv[i], pace)) {
      paces.clear();
      break;
    }
    paces.push_back(pace);
  }
  if (runs < 1 || paces.empty()) {
    std::fprintf(stderr, "usage: kestrel_speed_bench RUNS RATE:BYTES [RATE:BYTES...]\n");
    return 2;
  }
  ProbeError error;
  if (InitDll(&error) != 1) {
    std::printf("InitDll -> 0, code %d\n", error.code);
    return 1;
  }
  bool ok = true;
  for (const Pace& pace : paces) {
    ok = MeasurePace(pace, runs) && ok;
  }
  Control("/_test/reset");
  ReleaseDllRes();
  return ok ? 0 : 1;
}
