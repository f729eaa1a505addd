// ReleaseDllRes is the last call a program makes; calling it twice must do no harm. A program of
// its own, since the engine is gone afterwards.
#include <cstdio>

#include "NetProbe.h"

int main() {
  ProbeError error;
  if (InitDll(&error) != 1) {
    std::puts("InitDll failed");
    return 1;
  }
  ReleaseDllRes();
  ReleaseDllRes();
  // Only a further release is allowed by contract; a stray call must still not crash.
  if (GetNetworkState() != 0) {
    std::puts("GetNetworkState answered after release");
    return 1;
  }
  std::puts("released twice");
  return 0;
}
