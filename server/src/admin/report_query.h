// The overview's question to the store: the reports of a period, optionally only those with one
// problem or within a score range, with the figures its charts draw.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/database.h"

namespace kestrel::server {

struct ReportFilter {
  std::string from;     // YYYY-MM-DD, UTC, inclusive
  std::string to;       // YYYY-MM-DD, UTC, inclusive
  std::string problem;  // a problem code, or "" for any
  int minScore = -1;    // -1: no bound
  int maxScore = -1;
};

// Reads the filter from the query's values (`value(name)` is "" when absent); an absent period
// is the last seven days up to `today`. False with a message for any malformed value.
bool ReadFilter(const std::function<std::string(const char*)>& value, const std::string& today,
                ReportFilter& filter, std::string& error);
// The filter as query text for links (the CSV export keeps the same filter).
std::string FilterQuery(const ReportFilter& filter);
// YYYY-MM-DD of a time in seconds since 1970, UTC.
std::string DateOf(std::int64_t seconds);

struct ListedReport {
  std::string number;
  std::string received;
  std::string device;
  std::string serial;
  std::int64_t score = 0;
  std::vector<std::string> problems;  // codes
};

inline constexpr int kScoreBucketWidth = 100;
inline constexpr std::size_t kScoreBuckets = 10;  // the last holds 900 and more

struct Overview {
  std::int64_t total = 0;  // every report that matches, however many are listed
  std::vector<ListedReport> reports;
  std::array<std::int64_t, kScoreBuckets> scores{};
  std::vector<std::pair<std::string, std::int64_t>> problems;  // code, count; most common first
};

// The newest `limit` matching reports and the figures of all that match.
bool QueryOverview(Database& db, const ReportFilter& filter, int limit, Overview& out,
                   std::string& error);
// Only the list (for the export).
bool QueryReports(Database& db, const ReportFilter& filter, int limit,
                  std::vector<ListedReport>& out, std::string& error);

}  // namespace kestrel::server
