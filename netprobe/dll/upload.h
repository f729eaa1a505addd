// The two uploads behind UploadJsonData and UploadDNSJsonData (presence check done by the caller).
#pragma once

#include "NetProbe.h"
#include "dll/probe_engine.h"

namespace netprobe {

// Posts the report; on results 1 and 3 copies `reportNumber` (at most 255 characters and a
// terminating zero) into `buffer` when it is not null and returns 1.
int UploadReport(ProbeEngine& engine, wchar_t* buffer, ProbeError* error);

// The DNS update body: {"number":"<reportNumber>","optimize":0|1}.
std::string BuildDnsStateJson(const ProbeRecords& records, const ICodePage& pages);

// PUTs the DNS state; 1 on results 1 and 3.
int UploadDnsState(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
