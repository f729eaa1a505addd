#include "dll/usage_link.h"

#include <utility>

#include "device/device_listing.h"
#include "kestrel/wmic.h"
#include "shell/web_address.h"
#include "version/version_answer.h"

namespace usagelink {

UsageLink::UsageLink(IHttpPost& http, IPlatform& platform, const kestrel::ICodePage& pages,
                     std::string host)
    : http_(http), platform_(platform), pages_(pages), host_(std::move(host)) {}

int UsageLink::VersionGet(const VersionRequest& request) {
  response_->Clear();
  if (!http_.Post(Url("/Home/tool/version"), VersionBody(request.id, request.versions, pages_),
                  *response_)) {
    return 0;
  }
  const VersionAnswer answer = ReadVersionAnswer(response_->Text(), pages_);
  if (answer.hasAddress) {
    downloadAddress_ = answer.address;
  }
  return answer.code;
}

bool UsageLink::OperationResponse(const StatisticsRecord& record) {
  response_->Clear();
  const StatisticsFields fields{record.id,          record.datetime, record.versions,
                                record.status,      record.pcModel,  record.manufacture,
                                record.serialNumber};
  return http_.Post(Url("/Home/tool/statistics"), StatisticsBody(fields, pages_), *response_);
}

std::string UsageLink::ReadListing(const char* command) {
  std::unique_ptr<ICommandOp> runner = platform_.MakeCommandOp();
  std::shared_ptr<DeviceOutput> output = std::make_shared<DeviceOutput>();
  const bool started =
      runner != nullptr && runner->Run(command, [output](const char* data, std::size_t size) {
        std::lock_guard<std::mutex> lock(output->mutex);
        if (size < kDeviceOutputCapacity - output->text.size()) {
          output->text.append(data, size);  // what does not fit is dropped
        }
      });
  std::string text;
  std::size_t lastSize = 0;
  for (unsigned waited = 0; started; ++waited) {
    const bool finished = runner->Finished();
    {
      std::lock_guard<std::mutex> lock(output->mutex);
      text = output->text;
    }
    // The first chunk may hold only the first lines (PowerShell writes line by line), so a
    // listing is taken once it ended, or once it stood still for a second.
    if (!text.empty() && (finished || text.size() == lastSize)) {
      break;
    }
    if (waited == kDeviceWaitSeconds) {
      break;
    }
    lastSize = text.size();
    platform_.SleepMilliseconds(1000);
  }
  if (runner != nullptr) {
    runner->Stop();
  }
  return text;
}

void UsageLink::GetDeviceInfo(DeviceInfo& info) {
  std::string text;
  if (!wmicMissing_) {
    text = ReadListing(kDeviceCommand);
    wmicMissing_ = kestrel::IsMissingWmicComplaint(text);
  }
  if (wmicMissing_) {
    text = ReadListing(kDeviceCimCommand);
  }
  DeviceFields fields{info.pcModel, info.manufacture, info.serialNumber};
  ParseDeviceListing(text, fields);
  info.pcModel = fields.pcModel;
  info.manufacture = fields.manufacture;
  info.serialNumber = fields.serialNumber;
}

void UsageLink::OpenFeedbackQuestion(const VersionRequest& request) {
  const std::wstring address = pages_.AnsiToWide(Url("/home#/suggest?id=") + request.id);
  if (!address.empty()) {
    platform_.OpenInBrowser(address);
  }
}

void UsageLink::OpenToolDownUrl() {
  // The address came over plain HTTP: only a plain web address reaches the shell.
  if (!IsPlainWebAddress(downloadAddress_)) {
    return;
  }
  const std::wstring address = pages_.AnsiToWide(downloadAddress_);
  if (!address.empty()) {
    platform_.OpenInBrowser(address);
  }
}

}  // namespace usagelink
