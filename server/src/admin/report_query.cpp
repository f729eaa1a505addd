#include "admin/report_query.h"

#include <algorithm>
#include <charconv>
#include <ctime>

#include "core/report_summary.h"

namespace kestrel::server {
namespace {

constexpr int kMaxScore = 100000;
constexpr int kDefaultDays = 7;

bool IsDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return false;
  }
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') {
      return false;
    }
  }
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool ReadScore(const std::string& text, int& out) {
  if (text.empty()) {
    out = -1;
    return true;
  }
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value < 0 || value > kMaxScore) {
    return false;
  }
  out = value;
  return true;
}

// The WHERE clause and its values.
std::string Where(const ReportFilter& f, Row& binds) {
  std::string sql = " WHERE received >= ? AND received <= ?";
  binds = {f.from + "T00:00:00Z", f.to + "T23:59:59Z"};
  if (!f.problem.empty()) {
    sql += " AND problems LIKE ?";
    binds.push_back("%," + f.problem + ",%");
  }
  if (f.minScore >= 0) {
    sql += " AND score >= ?";
    binds.push_back(std::to_string(f.minScore));
  }
  if (f.maxScore >= 0) {
    sql += " AND score <= ?";
    binds.push_back(std::to_string(f.maxScore));
  }
  return sql;
}

std::int64_t Count(const std::string& text) {
  return text.empty() ? 0 : std::stoll(text);
}

}  // namespace

std::string DateOf(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

bool ReadFilter(const std::function<std::string(const char*)>& value, const std::string& today,
                ReportFilter& filter, std::string& error) {
  filter.from = value("from");
  filter.to = value("to");
  filter.problem = value("problem");
  if (filter.to.empty()) {
    filter.to = today;
  }
  if (filter.from.empty() && IsDate(filter.to)) {
    std::tm tm{};
    tm.tm_year = std::stoi(filter.to.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(filter.to.substr(5, 2)) - 1;
    tm.tm_mday = std::stoi(filter.to.substr(8, 2)) - (kDefaultDays - 1);
    filter.from = DateOf(timegm(&tm));
  }
  if (!IsDate(filter.from) || !IsDate(filter.to)) {
    error = "日期应写作 年-月-日，例如 2026-09-01";
    return false;
  }
  if (!filter.problem.empty() && !ProblemLabel(filter.problem)) {
    error = "没有这种问题";
    return false;
  }
  if (!ReadScore(value("min"), filter.minScore) || !ReadScore(value("max"), filter.maxScore)) {
    error = "分数应是 0 到 100000 的整数";
    return false;
  }
  return true;
}

std::string FilterQuery(const ReportFilter& f) {
  // Every value was checked to hold only digits, '-' and letters: nothing to encode.
  std::string q = "from=" + f.from + "&to=" + f.to;
  if (!f.problem.empty()) {
    q += "&problem=" + f.problem;
  }
  if (f.minScore >= 0) {
    q += "&min=" + std::to_string(f.minScore);
  }
  if (f.maxScore >= 0) {
    q += "&max=" + std::to_string(f.maxScore);
  }
  return q;
}

bool QueryReports(Database& db, const ReportFilter& filter, int limit,
                  std::vector<ListedReport>& out, std::string& error) {
  Row binds;
  const std::string where = Where(filter, binds);
  std::vector<Row> rows;
  if (db.Run("SELECT number, received, device, serial, score, problems FROM reports" + where +
                 " ORDER BY received DESC, number LIMIT " + std::to_string(limit),
             binds, &rows, error) < 0) {
    return false;
  }
  for (const Row& r : rows) {
    out.push_back({r[0], r[1], r[2], r[3], Count(r[4]), ProblemCodes(r[5])});
  }
  return true;
}

bool QueryOverview(Database& db, const ReportFilter& filter, int limit, Overview& out,
                   std::string& error) {
  if (!QueryReports(db, filter, limit, out.reports, error)) {
    return false;
  }
  Row binds;
  const std::string where = Where(filter, binds);
  std::vector<Row> rows;
  if (db.Run("SELECT score / " + std::to_string(kScoreBucketWidth) + ", COUNT(*) FROM reports" +
                 where + " GROUP BY score / " + std::to_string(kScoreBucketWidth),
             binds, &rows, error) < 0) {
    return false;
  }
  for (const Row& r : rows) {
    const std::int64_t bucket = std::clamp<std::int64_t>(Count(r[0]), 0, kScoreBuckets - 1);
    out.scores[static_cast<std::size_t>(bucket)] += Count(r[1]);
    out.total += Count(r[1]);
  }
  // One pass for every problem: a sum of matches per column.
  std::string sums;
  Row problemBinds;
  for (const ProblemKind& kind : kProblemKinds) {
    sums +=
        std::string(sums.empty() ? "" : ", ") + "SUM(CASE WHEN problems LIKE ? THEN 1 ELSE 0 END)";
    problemBinds.push_back(std::string("%,") + kind.code + ",%");
  }
  problemBinds.insert(problemBinds.end(), binds.begin(), binds.end());
  rows.clear();
  if (db.Run("SELECT " + sums + " FROM reports" + where, problemBinds, &rows, error) < 0 ||
      rows.empty()) {
    return false;
  }
  std::size_t i = 0;
  for (const ProblemKind& kind : kProblemKinds) {
    const std::int64_t n = Count(rows[0][i++]);
    if (n > 0) {
      out.problems.emplace_back(kind.code, n);
    }
  }
  std::stable_sort(out.problems.begin(), out.problems.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return true;
}

}  // namespace kestrel::server
