// The code page conversions on arbitrary bytes, through both pairs of pages the product meets
// (Chinese 936/936, Western 1252/437): whatever the bytes, every conversion finishes, replaces
// what it cannot convert instead of stopping, and writes well-formed output.
#include <cstdint>
#include <memory>
#include <string>

#include "core/shared.h"
#include "fuzz_check.h"
#include "kestrel/utf8.h"

namespace {

// The bytes read as wide units, whatever values they hold (beyond Unicode, lone surrogates).
std::wstring RawWide(const std::string& bytes) {
  std::wstring wide;
  for (std::size_t i = 0; i + sizeof(wchar_t) <= bytes.size(); i += sizeof(wchar_t)) {
    std::uint32_t unit = 0;
    for (std::size_t k = 0; k < sizeof(wchar_t); ++k) {
      unit |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
    }
    wide += static_cast<wchar_t>(unit);
  }
  return wide;
}

void CheckPages(const netprobe::ICodePage& pages, bool chinese, const std::string& bytes) {
  // Every byte decodes to at most one character (a GBK pair to one); a single-byte page decodes
  // each byte to exactly one.
  const std::wstring decoded = pages.OemToWide(bytes);
  FUZZ_CHECK(decoded.size() <= bytes.size());
  FUZZ_CHECK(chinese || decoded.size() == bytes.size());
  FUZZ_CHECK(decoded == pages.OemToWide(bytes));

  const std::string utf8 = pages.AnsiToUtf8(bytes);
  FUZZ_CHECK(kestrel::IsValidUtf8(utf8));
  FUZZ_CHECK(bytes.empty() == utf8.empty());

  // Each character becomes one byte, or a GBK pair; "?" stands in for the unconvertible.
  for (const std::wstring& wide : {decoded, RawWide(bytes)}) {
    const std::string ansi = pages.WideToAnsi(wide);
    FUZZ_CHECK(ansi.size() >= wide.size() && ansi.size() <= 2 * wide.size());
    FUZZ_CHECK(chinese || ansi.size() == wide.size());
    const std::string gbk = pages.WideToAnsiChs(wide);
    FUZZ_CHECK(gbk.size() >= wide.size() && gbk.size() <= 2 * wide.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::unique_ptr<netprobe::ICodePage> chinese = netprobe::MakeFixedCodePage(936, 936);
  static const std::unique_ptr<netprobe::ICodePage> western =
      netprobe::MakeFixedCodePage(1252, 437);
  const std::string bytes = fuzz::Text(data, size);
  CheckPages(*chinese, true, bytes);
  CheckPages(*western, false, bytes);
  return 0;
}
