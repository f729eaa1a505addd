#include "support/codepages.h"

#include "core/shared.h"

namespace kestrel::test {

std::unique_ptr<netprobe::ICodePage> CodePageFor(unsigned ansiCodePage) {
#if defined(_WIN32)
  std::unique_ptr<netprobe::ICodePage> system = netprobe::MakeSystemCodePage();
  if (system->AnsiCodePage() != ansiCodePage) {
    return nullptr;
  }
  return system;
#else
  return netprobe::MakeIconvCodePage(ansiCodePage, ansiCodePage == 936 ? 936 : 437);
#endif
}

}  // namespace kestrel::test
