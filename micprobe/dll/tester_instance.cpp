#include "dll/tester_instance.h"

namespace micprobe {

namespace {
// Never destroyed at unload: at process exit the wave threads are already gone, and stopping
// devices then could hang. ReleaseMicDllRes is the one place the tester ends.
MicTester*& Slot() {
  static MicTester* tester = nullptr;
  return tester;
}
}  // namespace

MicTester* Tester() {
  return Slot();
}

void InstallTester(std::unique_ptr<MicTester> tester) {
  DestroyTester();
  Slot() = tester.release();
}

void DestroyTester() {
  MicTester* tester = Slot();
  // Cleared first, so that exports running meanwhile see no tester rather than a dying one.
  Slot() = nullptr;
  delete tester;
}

}  // namespace micprobe
