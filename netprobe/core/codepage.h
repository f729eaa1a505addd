// Builds the code page service: Win32 conversions on Windows, iconv elsewhere.
#pragma once

#include <memory>

#include "core/platform.h"

namespace netprobe {

// The running system's pages. Natively they follow the locale the way Wine does:
// zh_CN gives 936/936, anything else 1252/437.
std::unique_ptr<ICodePage> MakeSystemCodePage();

// Fixed pages whatever the system has, for tests of either language on any machine.
std::unique_ptr<ICodePage> MakeFixedCodePage(unsigned ansiCodePage, unsigned oemCodePage);

#if !defined(_WIN32)
// The native implementation of fixed pages.
std::unique_ptr<ICodePage> MakeIconvCodePage(unsigned ansiCodePage, unsigned oemCodePage);
#endif

}  // namespace netprobe
