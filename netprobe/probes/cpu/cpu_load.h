// The processor load as "wmic cpu list full" reports it, and the arithmetic of one sampling
// pass. Pure functions, so the averaging can be checked without running anything.
#pragma once

#include <string>
#include <vector>

namespace netprobe {

// The first "LoadPercentage=" value of a listing (on a machine with several processor packages,
// the first package's). False when the key is missing or its line never ends: a value without
// its line end may have been cut short.
bool ReadLoadPercentage(const std::string& listing, int& percent);

// Adds the listing's load to the pass's samples when it is above 0; an idle reading of 0 (or no
// reading at all) adds nothing. True when a sample was added.
bool AddLoadSample(const std::string& listing, std::vector<double>& samples);

// The mean of the samples, truncated towards zero. False when the pass gave no sample, which
// counts as a failed pass.
bool AverageLoad(const std::vector<double>& samples, int& average);

}  // namespace netprobe
