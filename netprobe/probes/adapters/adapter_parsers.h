// Reading adapters out of "netsh lan/wlan show interface" and their link speeds out of
// "wmic nic list full". Plain functions of the captured text; they never throw and never read
// past it.
#pragma once

#include <string>
#include <vector>

#include "NetProbe.h"

namespace netprobe {

// Wireless listings also carry a signal strength.
enum class AdapterListingForm { kWired, kWireless };

// Whether a netsh state value means connected, by the listing's language (1 Chinese, 2 other).
bool IsConnectedState(const std::string& state, int language);

// The adapters of a netsh interface listing, in listed order, virtual adapters left out. Keys
// are searched with one forward-moving cursor, so a key missing from one adapter's block is taken
// from the next block, whose adapter is then not listed.
std::vector<NetworkCard> ParseAdapterListing(const std::string& text, int language,
                                             AdapterListingForm form);

// The link speed in Mbit/s that the wmic listing gives for the adapter with this description;
// 0 when the adapter is not listed or its speed is empty or unknown.
int ReadAdapterSpeed(const std::string& listing, const std::string& description);

// Fills `speed` of each card from the wmic listing.
void ReadAdapterSpeeds(const std::string& listing, std::vector<NetworkCard>& cards);

}  // namespace netprobe
