// Telling whether wmic exists from what a "wmic ..." command line printed. Newer Windows 11
// releases drop wmic, yet the line still starts (cmd runs) and prints only cmd's complaint,
// which quotes the name as typed whatever the system's language:
//   'wmic' is not recognized as an internal or external command, ...
//   'wmic' 不是内部或外部命令，也不是可运行的程序
// wmic itself never begins its output that way (a header line, "Key=value" lines or blanks).
#pragma once

#include <string_view>

namespace kestrel {

// Whether the output is cmd's complaint that no command "wmic" exists (any case of the name).
bool IsMissingWmicComplaint(std::string_view output);

}  // namespace kestrel
