// The parsers over outputs far larger than any real machine prints: the cost per megabyte of
// listing, which bounds what a probe can spend on text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/shared.h"
#include "probes/adapters/adapter_parsers.h"
#include "probes/disk/disk_parsers.h"
#include "support/testdata.h"

namespace {

// `block` repeated until the text holds at least `bytes` bytes.
std::string Repeated(const std::string& block, std::size_t bytes) {
  std::string text;
  while (text.size() < bytes) {
    text += block;
  }
  return text;
}

constexpr std::size_t kFourMegabytes = 4u << 20;

void ScanEqualsFormListing(benchmark::State& state) {
  const std::string listing = Repeated(
      kestrel::test::ReadFixture("outputs/nic/zh-desktop-nic-list-full.txt"), kFourMegabytes);
  for (auto _ : state) {
    netprobe::ScanCursor cursor(listing);
    std::string value;
    std::size_t found = 0;
    while (cursor.EqualsValue("Speed=", value)) {
      ++found;
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * listing.size()));
}
BENCHMARK(ScanEqualsFormListing)->Unit(benchmark::kMillisecond);

void ParseChineseAdapterListing(benchmark::State& state) {
  const std::string listing = Repeated(
      kestrel::test::ReadFixture("outputs/netsh/zh-lan-interface-two-wired.txt"), kFourMegabytes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        netprobe::ParseAdapterListing(listing, 1, netprobe::AdapterListingForm::kWired));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * listing.size()));
}
BENCHMARK(ParseChineseAdapterListing)->Unit(benchmark::kMillisecond);

void ParseDiskListing(benchmark::State& state) {
  const std::string listing = Repeated(
      kestrel::test::ReadFixture("outputs/disk/wmic-diskdrive-laptop-en.txt"), kFourMegabytes);
  for (auto _ : state) {
    std::vector<DiskEntry> disks;
    benchmark::DoNotOptimize(netprobe::ParseDiskListing(listing, disks));
    benchmark::DoNotOptimize(disks.size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * listing.size()));
}
BENCHMARK(ParseDiskListing)->Unit(benchmark::kMillisecond);

}  // namespace
