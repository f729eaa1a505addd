// Which processes belong to a command the runner started: its child and the child's
// descendants, found by parent ids in one process list. Windows reuses process ids, so a
// parent id alone can name a process that ended long ago; a descendant is taken only when it
// was created after the parent it names.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace usagelink {

struct ProcessEntry {
  std::uint32_t id = 0;
  std::uint32_t parent = 0;
  std::uint64_t created = 0;  // creation time (any monotonic unit); 0 when it could not be read
  std::wstring name;          // the image file name, e.g. L"cmd.exe"
};

// The ids of `child` (when listed with a creation time) and of its descendants.
std::set<std::uint32_t> OwnProcesses(const std::vector<ProcessEntry>& all, std::uint32_t child);

// The shells among them that the stop ends: named exactly "cmd.exe" or "powershell.exe".
std::vector<std::uint32_t> OwnShells(const std::vector<ProcessEntry>& all, std::uint32_t child);

}  // namespace usagelink
