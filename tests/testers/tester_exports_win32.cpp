// Calls the real NetProbe.dll's tester exports as a caller beside a Test folder would, with the
// real testers in it, and prints each export's result, the state it hands out and the error code.
#include <cstdio>

#include "NetProbe.h"

namespace {

void Report(const char* name, int (*tester_export)(const int**, ProbeError*)) {
  const int* state = nullptr;
  ProbeError error;
  const int result = tester_export(&state, &error);
  std::printf("%s %d %d %d\n", name, result, state != nullptr ? *state : -1, error.code);
  std::fflush(stdout);
}

}  // namespace

int main() {
  Report("GetMicrophoneTest", GetMicrophoneTest);
  Report("GetCameraTest", GetCameraTest);
  ReleaseDllRes();
  return 0;
}
