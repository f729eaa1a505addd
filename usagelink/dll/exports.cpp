// The five exports: thin shells over the one UsageLink object; nothing escapes them.
#include "UsageLink.h"
#include "dll/instance.h"

using usagelink::Instance;

int DataCollection_VersionGet(const VersionRequest* request) noexcept {
  try {
    return request != nullptr && Instance() != nullptr ? Instance()->VersionGet(*request) : 0;
  } catch (...) {
    return 0;
  }
}

bool DataCollection_OperationResponse(const StatisticsRecord* record) noexcept {
  try {
    return record != nullptr && Instance() != nullptr && Instance()->OperationResponse(*record);
  } catch (...) {
    return false;
  }
}

bool DataCollection_GetDeviceInfo(DeviceInfo* info) noexcept {
  try {
    if (info != nullptr && Instance() != nullptr) {
      Instance()->GetDeviceInfo(*info);
    }
  } catch (...) {
  }
  return true;
}

bool DataCollection_OpenFeedbackQuestion(const VersionRequest* request) noexcept {
  try {
    if (request != nullptr && Instance() != nullptr) {
      Instance()->OpenFeedbackQuestion(*request);
    }
  } catch (...) {
  }
  return true;
}

bool DataCollection_OpenToolDownUrl() noexcept {
  try {
    if (Instance() != nullptr) {
      Instance()->OpenToolDownUrl();
    }
  } catch (...) {
  }
  return true;
}
