#include "probes/cpu/cpu_load.h"

#include "core/shared.h"

namespace netprobe {

bool ReadLoadPercentage(const std::string& listing, int& percent) {
  ScanCursor cursor(listing);
  std::string value;
  if (!cursor.EqualsValue("LoadPercentage=", value)) {
    return false;
  }
  percent = AtoI(value);
  return true;
}

bool AddLoadSample(const std::string& listing, std::vector<double>& samples) {
  int percent = 0;
  if (!ReadLoadPercentage(listing, percent) || percent <= 0) {
    return false;
  }
  samples.push_back(static_cast<double>(percent));
  return true;
}

bool AverageLoad(const std::vector<double>& samples, int& average) {
  if (samples.empty()) {
    return false;
  }
  double sum = 0.0;
  for (const double sample : samples) {
    sum += sample;
  }
  // Every sample is a positive int, so the mean fits an int and the cast truncates towards zero.
  average = static_cast<int>(sum / static_cast<double>(samples.size()));
  return true;
}

}  // namespace netprobe
