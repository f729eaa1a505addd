// Starts a child process whose standard output and error go to one pipe end, the only handle
// it inherits. NetProbe.dll and UsageLink.dll each link this library and both start commands
// from their own threads; a child that took another command's write end would keep that pipe
// open, and its read would wait for that child to end.
#pragma once

struct _PROCESS_INFORMATION;

namespace kestrel {

// Creates the process of `commandLine` (changed in place, as CreateProcessW may) with its
// window shown as `show` (an SW_ value) and `output` as its standard output and error. `output`
// need not be inheritable: it is made so only while the child is created. On failure returns
// false and leaves GetLastError() as the creation left it.
bool StartChildWithOutput(wchar_t* commandLine, void* output, int show,
                          _PROCESS_INFORMATION& process) noexcept;

}  // namespace kestrel
