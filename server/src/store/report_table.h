// The reports table: one row per uploaded report, the document kept exactly as received, beside
// the summary the overview lists and filters by.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "store/database.h"

namespace kestrel::server {

struct StoredReport {
  std::string number;
  std::string document;
  std::string received;  // UTC, ISO 8601
  std::string optimize;  // "" until the DNS state is sent, then "0" or "1"
};

// Stores the document under a fresh unguessable number (a number that is taken is drawn again,
// never overwritten); empty on failure, with the reason in `error`.
std::string AddReport(Database& db, const std::string& document, std::string& error,
                      const std::function<std::string()>& newNumber = {});
// Empty when no report has that number or the store failed: then `error` says why.
std::optional<StoredReport> FindReport(Database& db, const std::string& number,
                                       std::string* error = nullptr);
enum class SetResult { kDone, kMissing, kFailed };
SetResult SetReportOptimize(Database& db, const std::string& number, int optimize,
                            std::string& error);
// Twelve decimal digits from the system's random source, never starting with 0.
std::string NewReportNumber();
// Whether the text has the form of a report number.
bool IsReportNumber(const std::string& text);
// The current UTC time as stored in `received`.
std::string ReceivedNow();

}  // namespace kestrel::server
