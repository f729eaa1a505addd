#include "store/report_table.h"

#include <openssl/rand.h>

#include <cstdint>
#include <ctime>
#include <stdexcept>

namespace kestrel::server {
namespace {

constexpr const char* kTable = "reports";
constexpr int kNumberDigits = 12;
constexpr int kTries = 8;  // a collision among 9e11 numbers is rare; eight in a row is a fault

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

}  // namespace

std::string NewReportNumber() {
  std::string out;
  while (out.size() < kNumberDigits) {
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1) {
      throw std::runtime_error("no random bytes");
    }
    for (unsigned char b : bytes) {
      // 250 is the largest multiple of 10 below 256: rejecting the rest keeps digits uniform.
      if (b < 250 && out.size() < kNumberDigits && !(out.empty() && b % 10 == 0)) {
        out += static_cast<char>('0' + b % 10);
      }
    }
  }
  return out;
}

bool IsReportNumber(const std::string& text) {
  return text.size() == kNumberDigits && text[0] != '0' &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

bool CreateReportTable(Database& db, std::string& error) {
  return db.Exec(
      "CREATE TABLE IF NOT EXISTS reports (number TEXT PRIMARY KEY, document TEXT NOT NULL, "
      "received TEXT NOT NULL, optimize TEXT NOT NULL DEFAULT '')",
      error);
}

std::string AddReport(Database& db, const std::string& document, std::string& error) {
  for (int i = 0; i < kTries; ++i) {
    const std::string number = NewReportNumber();
    switch (db.Insert(kTable, {"number", "document", "received"}, {number, document, UtcNow()},
                      error)) {
      case Database::InsertResult::kDone:
        return number;
      case Database::InsertResult::kTaken:
        continue;
      case Database::InsertResult::kFailed:
        return {};
    }
  }
  error = "no free report number";
  return {};
}

std::optional<StoredReport> FindReport(Database& db, const std::string& number) {
  std::string error;
  const auto row =
      db.Fetch(kTable, {"number", "document", "received", "optimize"}, "number", number, error);
  if (!row) {
    return std::nullopt;
  }
  return StoredReport{(*row)[0], (*row)[1], (*row)[2], (*row)[3]};
}

bool SetReportOptimize(Database& db, const std::string& number, int optimize, std::string& error) {
  return db.Update(kTable, {"optimize"}, {std::to_string(optimize)}, "number", number, error) == 1;
}

}  // namespace kestrel::server
