// The Win32 side shared by both tester programs.
#pragma once

#include "core/verdict.h"

namespace testers {

// Asks the device's question in a message box and leaves the verdict in the result file beside
// the program. Returns the program's exit code.
int RunTester(Device device);

}  // namespace testers
