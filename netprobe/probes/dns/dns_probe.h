// How fast each adapter's own DNS servers answer ping beside the two test resolvers, and whether
// this tool optimised an adapter's DNS before.
#pragma once

#include "NetProbe.h"
#include "core/probe_engine.h"

namespace netprobe {

// The test fails only offline or when it cannot run at all; missing commands leave entries out.
inline constexpr const char kDnsTestNotRunMessage[] = "获取DNS测试信息失败";

// The marker the DNS setting leaves in the all-users application data folder.
inline constexpr const wchar_t kDnsOptimizeMarker[] = L"DnsOptimize.txt";

// Refills the engine's DNS test record and the adapters' address fields; always 1. Expects the
// presence check to have passed.
int ProbeDnsTest(ProbeEngine& engine, ProbeError* error);

}  // namespace netprobe
