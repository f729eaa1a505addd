#include "network/friendly_name.h"

#include <vector>

namespace netprobe {

bool FindAdapterFriendlyName(IAdapterNames* adapters, const ICodePage& pages,
                             const std::string& description, std::string& name) {
  std::vector<AdapterName> list;
  if (adapters == nullptr || !adapters->ListAdapters(list)) {
    return false;
  }
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
