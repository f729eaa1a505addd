#include "device/process_tree.h"

#include <map>

namespace usagelink {

std::set<std::uint32_t> OwnProcesses(const std::vector<ProcessEntry>& all, std::uint32_t child) {
  std::map<std::uint32_t, std::uint64_t> created;  // the processes taken so far
  for (const ProcessEntry& process : all) {
    if (process.id == child && process.created != 0) {
      created[child] = process.created;
    }
  }
  for (bool grew = !created.empty(); grew;) {
    grew = false;
    for (const ProcessEntry& process : all) {
      const auto parent = created.find(process.parent);
      if (parent == created.end() || process.created == 0 || process.created < parent->second ||
          created.count(process.id) != 0) {
        continue;
      }
      created[process.id] = process.created;
      grew = true;
    }
  }
  std::set<std::uint32_t> ids;
  for (const auto& [id, time] : created) {
    ids.insert(id);
  }
  return ids;
}

std::vector<std::uint32_t> OwnShells(const std::vector<ProcessEntry>& all, std::uint32_t child) {
  const std::set<std::uint32_t> own = OwnProcesses(all, child);
  std::vector<std::uint32_t> shells;
  for (const ProcessEntry& process : all) {
    if (own.count(process.id) != 0 &&
        (process.name == L"cmd.exe" || process.name == L"powershell.exe")) {
      shells.push_back(process.id);
    }
  }
  return shells;
}

}  // namespace usagelink
