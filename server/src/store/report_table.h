// The reports table: one row per uploaded report, the document kept exactly as received.
#pragma once

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

bool CreateReportTable(Database& db, std::string& error);
// Stores the document under a fresh unguessable number; empty on failure.
std::string AddReport(Database& db, const std::string& document, std::string& error);
std::optional<StoredReport> FindReport(Database& db, const std::string& number);
// false when no report has that number.
bool SetReportOptimize(Database& db, const std::string& number, int optimize, std::string& error);
// Twelve decimal digits from the system's random source, never starting with 0.
std::string NewReportNumber();
// Whether the text has the form of a report number.
bool IsReportNumber(const std::string& text);

}  // namespace kestrel::server
