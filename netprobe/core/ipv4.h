// Dotted IPv4 addresses as the tools print and take them.
#pragma once

#include <string_view>

namespace netprobe {

// Four decimal numbers of 0 to 255 joined by dots, nothing else: "192.168.1.1". A number with a
// leading zero ("010") is refused, since tools read it as octal.
bool IsDottedIPv4(std::string_view text);

}  // namespace netprobe
