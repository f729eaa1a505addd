// Rewriting adapters' DNS server lists with netsh, and the marker left after a change.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"
#include "dll/probe_engine.h"

namespace netprobe {

// The failures of a DNS change; the messages are GBK, as every text of the library.
inline constexpr const char kDnsAdapterNotFoundMessage[] = "获取网络适配器名称失败";
// A netsh command that did not start, or a name or address refused before any command ran.
inline constexpr const char kDnsFailedMessage[] = "设置DNS失败";

// netsh prints nothing, or a line end, when it succeeds; more than this is an error message.
inline constexpr std::size_t kDnsLongestSuccessOutput = 3;

// The netsh commands that make `addresses` the static DNS list of the adapter named `friendlyName`
// (ANSI code page): "set dns" with the first, then "add dnsservers ... index=2" for each further
// one.
std::vector<std::string> DnsCommands(const std::string& friendlyName,
                                     const std::vector<std::string>& addresses);

// Whether a text can stand between double quotes on a cmd command line: no double quote, no "%"
// (cmd expands variables even inside quotes), no control character or line end.
bool IsSafeQuotedArgument(const std::string& text);

// SetNetworkCardDNS: one adapter; on success the marker is written and `optimize` set to 1.
int SetAdapterDns(ProbeEngine& engine, const DnsSettingRequest& request, ProbeError* error);
// SetNetworkCardDNSEx: each adapter in order, stopping at the first failure.
int SetAdaptersDns(ProbeEngine& engine, const std::vector<DnsSettingRequest>& requests,
                   ProbeError* error);

// Replaces "<all-users application data>\DnsOptimize.txt" with the text QZR and a line end.
// 1 when the file could be opened.
int WriteDnsOptimizeMarker(IFiles& files);

}  // namespace netprobe
