#include "store/report_table.h"

#include <openssl/rand.h>

#include <cstdint>
#include <ctime>
#include <stdexcept>

#include "core/report_summary.h"

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

std::string ReceivedNow() {
  return UtcNow();
}

std::string AddReport(Database& db, const std::string& document, std::string& error,
                      const std::function<std::string()>& newNumber) {
  const ReportSummary s = SummariseReport(document);
  const std::string received = UtcNow();
  for (int i = 0; i < kTries; ++i) {
    const std::string number = newNumber ? newNumber() : NewReportNumber();
    switch (db.Insert(
        kTable, {"number", "document", "received", "score", "device", "serial", "problems"},
        {number, document, received, std::to_string(s.score), s.device, s.serial, s.problems},
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

std::optional<StoredReport> FindReport(Database& db, const std::string& number,
                                       std::string* error) {
  std::string failure;
  const auto row =
      db.Fetch(kTable, {"number", "document", "received", "optimize"}, "number", number, failure);
  if (error) {
    *error = failure;
  }
  if (!row) {
    return std::nullopt;
  }
  return StoredReport{(*row)[0], (*row)[1], (*row)[2], (*row)[3]};
}

SetResult SetReportOptimize(Database& db, const std::string& number, int optimize,
                            std::string& error) {
  const int changed =
      db.Update(kTable, {"optimize"}, {std::to_string(optimize)}, "number", number, error);
  return changed < 0 ? SetResult::kFailed : changed == 0 ? SetResult::kMissing : SetResult::kDone;
}

}  // namespace kestrel::server
