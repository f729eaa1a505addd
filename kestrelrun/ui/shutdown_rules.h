// Small decisions of the program's start and end, kept apart from the windows so that they are
// tested natively: the exit statistic's record, and which running programs are our own testers.
#pragma once

#include <cstdint>
#include <string>

#include "UsageLink.h"

namespace kestrelrun {

inline constexpr const char* kToolId = "10090";
inline constexpr const char* kToolVersion = "2.1.20.928";
inline constexpr int kExitOperation = 3;  // the statistic's status code for "closed"

// The product record handed to UsageLink.
VersionRequest ProductRecord();

// The statistic sent when the window closes: the tool, the time as seconds since 1970, the
// version, the operation code and the device identity read at start-up.
StatisticsRecord MakeExitStatistic(const DeviceInfo& device, std::int64_t secondsSince1970);

// The tester programs that NetProbe starts from the program's Test folder.
inline constexpr const wchar_t* kTesterNames[] = {L"MicProbe.exe", L"CamProbe.exe"};

// Whether a running program's image `imagePath` is one of our testers: a file named as a tester
// directly inside `programFolder`'s "Test" folder (`programFolder` ends in a backslash). Paths
// compare without regard to case, as Windows does; "\\?\" prefixes and "/" are accepted.
bool IsOwnTester(const std::wstring& imagePath, const std::wstring& programFolder);

}  // namespace kestrelrun
