// What the calling process holds, read from inside it: threads, handles, GDI objects, windows,
// private bytes and its heaps. Wine answers several of the direct calls with 0 (private bytes,
// GetProcessHandleCount, GetGuiResources), so each figure here is one Wine gives truly, read by
// other means where needed. For the program's state dump and the Wine tests. Windows builds only.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace kestrel::win32 {

// Threads of this process (a thread snapshot); -1 when no snapshot can be had.
int ThreadCount();
// Open handles: new handles take the lowest free slots of the table, so the highest of a batch
// of new ones tells how many slots are taken below it.
int HandleCount();
// The open handles by their object type ("Event", "File", "Thread", ...): the handle values
// below the highest one HandleCount finds, each asked its type.
std::map<std::string, int> HandleTypes();
// GDI objects: GetGuiResources, or under Wine (which answers it with 0) the live entries of the
// process's GDI handle table, found by their table index alone.
int GdiObjectCount();
// The windows of this process, top-level and child.
int WindowCount();
// The private bytes GetProcessMemoryInfo gives (0 under Wine).
std::size_t PrivateBytes();

// The process's heaps (GetProcessHeaps, HeapWalk): the bytes of the blocks in use, their
// number, and the bytes the heaps have committed. Committed less in use is what the heaps keep
// free for later allocations. Blocks the heap hands out as a mapping of their own (Wine: 512 KB
// and more on 64 bits) are not walked and count in neither.
struct HeapFigures {
  std::size_t busyBytes = 0;
  std::size_t busyBlocks = 0;
  std::size_t committedBytes = 0;
  int heaps = 0;
};
HeapFigures WalkHeaps();

}  // namespace kestrel::win32
