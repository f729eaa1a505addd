// The processor load readers on arbitrary bytes. The input is one sampling pass: its listings
// are separated by form feeds (which wmic never prints), so one recording is a pass of one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "probes/cpu/cpu_load.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  std::vector<double> samples;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\f', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    const std::string listing = text.substr(start, end - start);
    start = end + 1;

    int percent = -12345;
    const bool read = netprobe::ReadLoadPercentage(listing, percent);
    FUZZ_CHECK(read || percent == -12345);
    FUZZ_CHECK(!read || listing.find("LoadPercentage=") != std::string::npos);

    // Only a reading above 0 becomes a sample, and then exactly that reading.
    const std::size_t before = samples.size();
    const bool added = netprobe::AddLoadSample(listing, samples);
    FUZZ_CHECK(added == (read && percent > 0));
    FUZZ_CHECK(samples.size() == before + (added ? 1 : 0));
    FUZZ_CHECK(!added || samples.back() == static_cast<double>(percent));
  }

  int average = -12345;
  const bool averaged = netprobe::AverageLoad(samples, average);
  FUZZ_CHECK(averaged == !samples.empty());
  if (averaged) {
    // The mean of positive readings lies between the smallest and the largest of them.
    double low = samples.front();
    double high = samples.front();
    for (const double sample : samples) {
      low = sample < low ? sample : low;
      high = sample > high ? sample : high;
    }
    FUZZ_CHECK(average >= 1 && static_cast<double>(average) >= low &&
               static_cast<double>(average) <= high);
  } else {
    FUZZ_CHECK(average == -12345);
  }
  return 0;
}
