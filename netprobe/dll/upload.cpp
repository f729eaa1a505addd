#include "dll/upload.h"

#include <algorithm>

#include "core/probe_error.h"
#include "network/report/json_text.h"
#include "network/report/post_json.h"
#include "network/report/report_address.h"
#include "network/report/report_json.h"

namespace netprobe {

namespace {

bool Succeeded(int result) {
  return result == kUploadAdded || result == kUploadUnknownCode;
}

}  // namespace

int UploadReport(ProbeEngine& engine, wchar_t* buffer, ProbeError* error) {
  const ICodePage& pages = *engine.platform().codePage;
  std::string message;
  std::wstring number = engine.records().reportNumber;
  const int result = PostJson(engine.platform(), BuildReportJson(engine.records(), pages),
                              ReportAddress(), message, true, number);
  engine.SetReportNumber(number);
  if (!Succeeded(result)) {
    SetError(error, result, message.c_str());
    return 0;
  }
  if (buffer != nullptr) {
    const std::size_t length = std::min(number.size(), kLongestReportNumber);
    std::copy_n(number.begin(), length, buffer);
    buffer[length] = L'\0';
  }
  return 1;
}

std::string BuildDnsStateJson(const ProbeRecords& records, const ICodePage& pages) {
  std::string body = "{\"number\":";
  AppendJsonString(body, pages.WideToAnsi(records.reportNumber), pages);
  body += ",\"optimize\":";
  body += records.dnsTestInfo.optimize != 0 ? '1' : '0';
  body += '}';
  return body;
}

int UploadDnsState(ProbeEngine& engine, ProbeError* error) {
  std::string message;
  std::wstring number = engine.records().reportNumber;
  const int result =
      PostJson(engine.platform(), BuildDnsStateJson(engine.records(), *engine.platform().codePage),
               ReportAddress(), message, false, number);
  engine.SetReportNumber(number);
  if (!Succeeded(result)) {
    SetError(error, result, message.c_str());
    return 0;
  }
  return 1;
}

}  // namespace netprobe
