#include "support/testdata.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace kestrel::test {

std::string TestdataPath(const std::string& relative) {
  return std::string(KESTREL_TESTDATA_DIR) + "/" + relative;
}

std::string ReadFixture(const std::string& relative) {
  std::ifstream in(TestdataPath(relative), std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read fixture " << TestdataPath(relative);
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kestrel::test
