#include "network/report/upload.h"

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
  std::string message;
  const int result = PostJson(engine, BuildReportJson(engine), ReportAddress(), message, true);
  if (!Succeeded(result)) {
    SetError(error, result, message.c_str());
    return 0;
  }
  if (buffer != nullptr) {
    const std::size_t length = std::min(engine.reportNumber.size(), kLongestReportNumber);
    std::copy_n(engine.reportNumber.begin(), length, buffer);
    buffer[length] = L'\0';
  }
  return 1;
}

std::string BuildDnsStateJson(const ProbeEngine& engine) {
  const ICodePage& pages = *engine.platform().codePage;
  std::string body = "{\"number\":";
  AppendJsonString(body, pages.WideToAnsi(engine.reportNumber), pages);
  body += ",\"optimize\":";
  body += engine.dnsTestInfo.optimize != 0 ? '1' : '0';
  body += '}';
  return body;
}

int UploadDnsState(ProbeEngine& engine, ProbeError* error) {
  std::string message;
  const int result = PostJson(engine, BuildDnsStateJson(engine), ReportAddress(), message, false);
  if (!Succeeded(result)) {
    SetError(error, result, message.c_str());
    return 0;
  }
  return 1;
}

}  // namespace netprobe
