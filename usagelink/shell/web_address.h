// Which addresses may be handed to the shell: the download address comes over plain HTTP, so
// anything but a plain web address (a path, file:, another scheme, a UNC name, quotes or control
// characters that could split a command line) opens nothing.
#pragma once

#include <string_view>

namespace usagelink {

bool IsPlainWebAddress(std::string_view address);

}  // namespace usagelink
