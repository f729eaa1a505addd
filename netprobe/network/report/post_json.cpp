#include "network/report/post_json.h"

#include "network/report/report_address.h"

namespace netprobe {

int PostJson(const Platform& platform, const std::string& body, const std::string& address,
             std::string& message, bool post, std::wstring& reportNumber) {
  HttpUploadRequest request;
  request.url = address;
  request.post = post;
  request.body = platform.codePage->AnsiToUtf8(body);
  request.headers = {kJsonContentType};
  request.verifyPeer = ReportTlsVerify();

  std::string answer;
  const HttpUploadStatus status = platform.upload != nullptr
                                      ? platform.upload->Send(request, answer)
                                      : HttpUploadStatus::kNoHandle;
  if (status == HttpUploadStatus::kNoHandle) {
    message = kPostMessages[kUploadNoHandle];
    return kUploadNoHandle;
  }
  if (status == HttpUploadStatus::kFailed) {
    message = kPostMessages[kUploadTransferFailed];
    return kUploadTransferFailed;
  }
  return ParseReportAnswer(answer, *platform.codePage, message, reportNumber);
}

}  // namespace netprobe
