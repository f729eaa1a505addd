#include "kestrel/wmic.h"

#include <cctype>
#include <cstddef>

namespace kestrel {

bool IsMissingWmicComplaint(std::string_view output) {
  constexpr std::string_view kQuotedName = "'wmic'";
  const std::size_t start = output.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || output.size() - start < kQuotedName.size()) {
    return false;
  }
  for (std::size_t i = 0; i < kQuotedName.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(output[start + i]);
    if (std::tolower(c) != kQuotedName[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace kestrel
