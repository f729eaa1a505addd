#include "dll/dns_setting.h"

#include "core/ipv4.h"
#include "core/probe_error.h"
#include "network/friendly_name.h"
#include "probes/dns/dns_probe.h"

namespace netprobe {

namespace {

// Every address of every request is checked before anything changes on the system.
bool AllAddressesValid(const std::vector<DnsSettingRequest>& requests) {
  for (const DnsSettingRequest& request : requests) {
    for (const std::string& address : request.dnsAddresses) {
      if (!IsDottedIPv4(address)) {
        return false;
      }
    }
  }
  return true;
}

// One adapter: its commands in order, stopping at the first that fails.
int SetOneAdapter(ProbeEngine& engine, const DnsSettingRequest& request, ProbeError* error) {
  std::string friendlyName;
  if (!FindAdapterFriendlyName(engine.platform().adapters, *engine.platform().codePage,
                               request.adapterName, friendlyName)) {
    SetError(error, kDnsAdapterNotFound, kDnsAdapterNotFoundMessage);
    return 0;
  }
  if (!IsSafeQuotedArgument(friendlyName)) {
    SetError(error, kDnsRefused, kDnsFailedMessage);
    return 0;
  }
  const Platform& platform = engine.platform();
  for (const std::string& command : DnsCommands(friendlyName, request.dnsAddresses)) {
    std::string output;
    if (platform.commands->RunCommand(platform.codePage->AnsiToWide(command), output) != 1) {
      SetError(error, kDnsRefused, kDnsFailedMessage);
      return 0;
    }
    if (output.size() > kDnsLongestSuccessOutput) {
      SetError(error, kDnsCommandFailed, kDnsFailedMessage);
      return 0;
    }
  }
  return 1;
}

}  // namespace

bool IsSafeQuotedArgument(const std::string& text) {
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '%' || u < 0x20 || u == 0x7F) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> DnsCommands(const std::string& friendlyName,
                                     const std::vector<std::string>& addresses) {
  std::vector<std::string> commands;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i == 0) {
      commands.push_back("netsh interface ip set dns name=\"" + friendlyName +
                         "\" source=static addr=" + addresses[i] + " validate=no");
    } else {
      commands.push_back("netsh interface ip add dnsservers name=\"" + friendlyName +
                         "\" addr=" + addresses[i] + " index=2 validate=no");
    }
  }
  return commands;
}

int SetAdapterDns(ProbeEngine& engine, const DnsSettingRequest& request, ProbeError* error) {
  return SetAdaptersDns(engine, {request}, error);
}

int SetAdaptersDns(ProbeEngine& engine, const std::vector<DnsSettingRequest>& requests,
                   ProbeError* error) {
  if (!AllAddressesValid(requests)) {
    SetError(error, kDnsRefused, kDnsFailedMessage);
    return 0;
  }
  for (const DnsSettingRequest& request : requests) {
    if (SetOneAdapter(engine, request, error) != 1) {
      return 0;
    }
  }
  // Whether the marker could be written does not change the outcome: the DNS is set.
  WriteDnsOptimizeMarker(*engine.platform().files);
  engine.MarkDnsOptimised();
  return 1;
}

int WriteDnsOptimizeMarker(IFiles& files) {
  std::wstring folder;
  if (files.GetCommonAppDataFolder(folder) != 1) {
    return 0;
  }
  return files.ReplaceTextFileAt(folder + L"\\" + kDnsOptimizeMarker, "QZR\n");
}

}  // namespace netprobe
