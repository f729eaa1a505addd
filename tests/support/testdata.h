// Locating and reading the recorded fixtures of testdata/, byte for byte.
#pragma once

#include <string>

namespace kestrel::test {

// testdata/<relative>, as a path this build's file APIs accept.
std::string TestdataPath(const std::string& relative);

// The exact bytes of testdata/<relative>; fails the current test when it cannot be read.
std::string ReadFixture(const std::string& relative);

}  // namespace kestrel::test
