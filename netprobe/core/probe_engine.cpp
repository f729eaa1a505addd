#include "core/probe_engine.h"

#include "core/presence.h"

namespace netprobe {

ProbeEngine::ProbeEngine(const Platform& platform)
    : testDnsServers{"114.114.114.114", "223.5.5.5"}, platform_(platform) {
  language = platform_.codePage->AnsiCodePage() == 936 ? kLanguageChinese : kLanguageOther;
}

int ProbeEngine::NetworkState() {
  return CheckNetworkPresence(*platform_.commands);
}

}  // namespace netprobe
