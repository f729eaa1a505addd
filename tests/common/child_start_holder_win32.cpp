// A second binary that links kestrel_common, as NetProbe.dll and UsageLink.dll both do: the
// child-start lock it takes must hold off the starts of the test program that loads it.
#include <windows.h>

#include "kestrel/child_start.h"

// Holds the lock from the signal of `held` until `release` is set; 1 when it held the
// process's mutex as well.
extern "C" __declspec(dllexport) int HoldChildStartLock(HANDLE held, HANDLE release) {
  const kestrel::ChildStartLock hold;
  SetEvent(held);
  WaitForSingleObject(release, 30000);
  return hold.heldAcrossProcess() ? 1 : 0;
}
