// The process's one MicTester, reached by the exports.
#pragma once

#include <memory>

#include "dll/mic_tester.h"

namespace micprobe {

// The tester, or null once ReleaseMicDllRes has destroyed it.
MicTester* Tester();
// Installs the tester (the library's static initialiser does this once; tests install fakes).
void InstallTester(std::unique_ptr<MicTester> tester);
void DestroyTester();

}  // namespace micprobe
