// The exports of the report uploads and the DNS change. Thin like the others: find the engine,
// call one function, and nothing thrown crosses the boundary.
#include "NetProbe.h"
#include "core/probe_error.h"
#include "dll/dns_setting.h"
#include "dll/engine_instance.h"
#include "dll/upload.h"
#include "network/report/post_json.h"

using netprobe::Engine;
using netprobe::SetError;

namespace {

// Fills the error without letting a failed copy of the message escape.
void ReportFailure(ProbeError* error, int code, const char* message) noexcept {
  try {
    SetError(error, code, message);
  } catch (...) {
    // Nothing more can be said.
  }
}

// An upload: presence check first, nothing sent when it fails. An upload that cannot be set up
// at all (the library released, memory exhausted) reports that no transfer could be made.
template <typename Upload>
int CheckedUpload(ProbeError* error, Upload upload) noexcept {
  try {
    netprobe::ProbeEngine* engine = Engine();
    if (engine == nullptr) {
      ReportFailure(error, netprobe::kUploadNoHandle,
                    netprobe::kPostMessages[netprobe::kUploadNoHandle]);
      return 0;
    }
    if (engine->NetworkState() != 1) {
      SetError(error, netprobe::kNoNetwork, netprobe::kNoNetworkMessage);
      return 0;
    }
    return upload(*engine);
  } catch (...) {
    ReportFailure(error, netprobe::kUploadNoHandle,
                  netprobe::kPostMessages[netprobe::kUploadNoHandle]);
    return 0;
  }
}

// A DNS change (no presence check); one that cannot run fails like a netsh that did not start.
template <typename Change>
int GuardedDnsChange(ProbeError* error, Change change) noexcept {
  try {
    netprobe::ProbeEngine* engine = Engine();
    if (engine != nullptr) {
      return change(*engine);
    }
  } catch (...) {
  }
  ReportFailure(error, netprobe::kDnsRefused, netprobe::kDnsFailedMessage);
  return 0;
}

}  // namespace

NETPROBE_API int UploadJsonData(wchar_t* reportNumber, ProbeError* error) {
  return CheckedUpload(error, [&](netprobe::ProbeEngine& engine) {
    return netprobe::UploadReport(engine, reportNumber, error);
  });
}

NETPROBE_API int UploadDNSJsonData(ProbeError* error) {
  return CheckedUpload(error, [&](netprobe::ProbeEngine& engine) {
    return netprobe::UploadDnsState(engine, error);
  });
}

NETPROBE_API int SetNetworkCardDNS(DnsSettingRequest request, ProbeError* error) {
  return GuardedDnsChange(error, [&](netprobe::ProbeEngine& engine) {
    return netprobe::SetAdapterDns(engine, request, error);
  });
}

NETPROBE_API int SetNetworkCardDNSEx(std::vector<DnsSettingRequest> requests, ProbeError* error) {
  return GuardedDnsChange(error, [&](netprobe::ProbeEngine& engine) {
    return netprobe::SetAdaptersDns(engine, requests, error);
  });
}
