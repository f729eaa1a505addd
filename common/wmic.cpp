#include "kestrel/wmic.h"

#include <cstddef>

#include "kestrel/ascii.h"

namespace kestrel {

bool IsMissingWmicComplaint(std::string_view output) {
  constexpr std::string_view kQuotedName = "'wmic'";
  const std::size_t start = output.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && StartsWithNoCase(output.substr(start), kQuotedName);
}

}  // namespace kestrel
