#include "network/friendly_name.h"

#include <vector>

namespace netprobe {

bool FindAdapterFriendlyName(const ProbeEngine& engine, const std::string& description,
                             std::string& name) {
  IAdapterNames* adapters = engine.platform().adapters;
  std::vector<AdapterName> list;
  if (adapters == nullptr || !adapters->ListAdapters(list)) {
    return false;
  }
  const ICodePage& pages = *engine.platform().codePage;
  bool found = false;
  for (const AdapterName& adapter : list) {
    if (pages.WideToAnsi(adapter.description).find(description) != std::string::npos) {
      name = pages.WideToAnsi(adapter.friendlyName);
      found = true;
    }
  }
  return found;
}

}  // namespace netprobe
