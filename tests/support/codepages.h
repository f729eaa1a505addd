// The code page service of a given system, for tests that hold for one ANSI page only.
#pragma once

#include <memory>

#include "core/platform.h"

namespace kestrel::test {

// Natively: the iconv service of `ansiCodePage` (OEM 936 with 936, else 437). On Windows: the
// system's service when its ANSI page is `ansiCodePage`, else nullptr; the test then skips, as
// the Wine runs cover each page under its own locale.
std::unique_ptr<netprobe::ICodePage> CodePageFor(unsigned ansiCodePage);

}  // namespace kestrel::test
