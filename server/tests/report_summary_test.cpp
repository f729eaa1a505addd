// What the overview reads from a report: the problems the desktop program would name, the
// filter's checks of hostile values, and CSV cells a spreadsheet cannot take for formulas.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <iterator>
#include <map>

#include "admin/csv_export.h"
#include "admin/report_query.h"
#include "core/report_summary.h"

namespace kestrel::server {
namespace {

Json::Value Sample() {
  std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
  Json::Value doc;
  Json::Reader().parse(std::string(std::istreambuf_iterator<char>(in), {}), doc);
  return doc;
}

TEST(ReportSummaryTest, EachProblemAppearsAtItsThreshold) {
  const std::string base = SummariseReport(Sample()).problems;
  const struct {
    const char* key;
    Json::Int64 value;
    const char* code;
    bool present;
  } cases[] = {
      {"MicrophoneState", 2, "mic", true},
      {"MicrophoneState", 1, "mic", false},
      {"CameraState", 2, "camera", true},
      {"CurSystemVersionNumber", 9, "os", true},
      {"CurSystemVersionNumber", 10, "os", false},
      {"CPUUtilization", 21, "cpu", true},
      {"MemoryOccupancyScore", 29, "memory-use", true},
      {"MemoryOccupancyScore", 30, "memory-use", false},
      {"MemorySumSize", 7999, "memory-size", true},
      {"MemorySumSize", 8000, "memory-size", false},
      {"SystemDiskRemainingSpace", 6143, "disk-space", true},
      {"SystemDiskRemainingSpace", 6144, "disk-space", false},
      {"HardDiskSizeScore", 15, "disk-use", true},
      {"DownloadSpeedScore", 54, "bandwidth", true},
      {"DownloadSpeedScore", 55, "bandwidth", false},
  };
  for (const auto& c : cases) {
    Json::Value doc = Sample();
    doc[c.key] = c.value;
    if (std::string(c.code) == "disk-use") {
      doc["HardDiskSpeedScore"] = 90;
    }
    const std::string problems = SummariseReport(doc).problems;
    EXPECT_EQ(problems.find(std::string(",") + c.code + ",") != std::string::npos, c.present)
        << c.key << "=" << c.value << " gives " << problems << " (sample: " << base << ")";
  }
  Json::Value lan = Sample();
  lan["NumberLanDevicesInfo"][0]["NumberLanDevicesScore"] = 25;
  EXPECT_NE(SummariseReport(lan).problems.find(",lan,"), std::string::npos);
  EXPECT_EQ(SummariseReport(std::string("[1]")).problems, ",");
  EXPECT_EQ(SummariseReport(std::string("not json")).score, 0);
}

TEST(ReportSummaryTest, DevicesAreKeptAsValidUtf8) {
  const struct {
    std::string in, out;
  } cases[] = {{"联想 ThinkPad", "联想 ThinkPad"},
               {"\xC1\xAA GBK", "?? GBK"},
               {std::string("a\0b", 3), "a?b"},
               {"\xE4\xB8", "??"},
               {"\xED\xA0\x80", "???"},
               {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ValidUtf8(c.in), c.out);
  }
}

TEST(ReportFilterTest, HostileValuesAreRefusedAndGoodOnesKept) {
  const struct {
    std::map<std::string, std::string> values;
    bool ok;
    std::string query;
  } cases[] = {
      {{}, true, "from=2026-12-03&to=2026-12-09"},
      {{{"from", "2026-11-30"},
        {"to", "2026-12-01"},
        {"problem", "cpu"},
        {"min", "0"},
        {"max", "500"}},
       true,
       "from=2026-11-30&to=2026-12-01&problem=cpu&min=0&max=500"},
      {{{"to", "2026-03-01"}}, true, "from=2026-02-23&to=2026-03-01"},
      {{{"from", "2026-13-01"}}, false, ""},
      {{{"from", "2026-12-01' OR '1'='1"}}, false, ""},
      {{{"to", "<script>"}}, false, ""},
      {{{"problem", "cpu,%"}}, false, ""},
      {{{"problem", "%"}}, false, ""},
      {{{"min", "-1"}}, false, ""},
      {{{"min", "1e3"}}, false, ""},
      {{{"max", "99999999999999999999"}}, false, ""},
      {{{"max", "10 "}}, false, ""},
  };
  for (const auto& c : cases) {
    ReportFilter f;
    std::string error;
    const bool ok = ReadFilter(
        [&c](const char* name) {
          const auto found = c.values.find(name);
          return found == c.values.end() ? std::string() : found->second;
        },
        "2026-12-09", f, error);
    EXPECT_EQ(ok, c.ok) << c.query << error;
    if (ok) {
      EXPECT_EQ(FilterQuery(f), c.query);
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(CsvExportTest, CellsAreQuotedAndFormulasStayText) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", "\"\""},
      {"plain", "\"plain\""},
      {"a \"b\", c", "\"a \"\"b\"\", c\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "\"'+1\""},
      {"-2+3", "\"'-2+3\""},
      {"@SUM(A1)", "\"'@SUM(A1)\""},
      {"\tx", "\"'\tx\""},
      {"\rx", "\"'\rx\""},
      {"a\nb", "\"a\nb\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CsvCell(c.in), c.out);
  }
  const std::string csv = ReportsCsv(
      {{"123456789012", "2026-12-01T08:00:00Z", "=cmd|' /C calc'!A0", "S1", 420, {"cpu", "lan"}}});
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF\"报告编号\",", 0), 0u);
  EXPECT_NE(csv.find("\"'=cmd|' /C calc'!A0\""), std::string::npos);
  EXPECT_NE(csv.find("\"CPU性能有待提升；接入设备数量较多\"\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::server
