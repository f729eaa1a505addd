#include "probes/dns/adapter_names.h"

#include <vector>

namespace netprobe {

bool FindAdapterFriendlyName(IAdapterTable& table, const ICodePage& codePage,
                             const std::string& description, std::string& friendlyName) {
  std::vector<AdapterName> adapters;
  if (description.empty() || !table.ListAdapters(adapters)) {
    return false;
  }
  bool found = false;
  for (const AdapterName& adapter : adapters) {
    if (codePage.WideToAnsi(adapter.description).find(description) != std::string::npos) {
      friendlyName = codePage.WideToAnsi(adapter.friendlyName);
      found = true;
    }
  }
  return found;
}

}  // namespace netprobe
