// The code page service on Windows: the system's own conversions between its OEM and ANSI pages,
// UTF-16 and UTF-8. Bytes a page cannot decode and characters it cannot encode are replaced by
// the system (no MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS), so damaged output never fails the
// conversion as a whole.
#include <windows.h>

#include <climits>
#include <string>

#include "kestrel/codepage.h"

namespace kestrel {

namespace {

constexpr UINT kChinesePage = 936;

// Whole text with its length, so embedded zero bytes are converted rather than ending it.
std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) {
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return wide;
}

std::string FromWide(UINT codePage, const std::wstring& text) {
  if (text.empty() || text.size() > INT_MAX) {
    return {};
  }
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    return {};
  }
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed,
                                          nullptr, nullptr);
  narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return narrow;
}

class Win32CodePage final : public ICodePage {
 public:
  // CP_ACP and CP_OEMCP follow the system; explicit pages are fixed whatever the system has.
  Win32CodePage(UINT ansiPage, UINT oemPage) : ansiPage_(ansiPage), oemPage_(oemPage) {}

  unsigned AnsiCodePage() const override { return ansiPage_ == CP_ACP ? GetACP() : ansiPage_; }

  std::wstring OemToWide(const std::string& text) const override { return ToWide(oemPage_, text); }

  std::string WideToAnsi(const std::wstring& text) const override {
    return FromWide(ansiPage_, text);
  }

  // A direct conversion to GBK: switching the process-wide C locale around wcstombs would race
  // with every other thread that converts text meanwhile.
  std::string WideToAnsiChs(const std::wstring& text) const override {
    return FromWide(kChinesePage, text);
  }

  std::string AnsiToUtf8(const std::string& text) const override {
    return FromWide(CP_UTF8, ToWide(ansiPage_, text));
  }

  std::wstring AnsiToWide(const std::string& text) const override {
    return ToWide(ansiPage_, text);
  }

  std::wstring Utf8ToWide(const std::string& text) const override {
    return ToWide(CP_UTF8, text);
  }

 private:
  UINT ansiPage_;
  UINT oemPage_;
};

}  // namespace

std::unique_ptr<ICodePage> MakeSystemCodePage() {
  return std::make_unique<Win32CodePage>(CP_ACP, CP_OEMCP);
}

std::unique_ptr<ICodePage> MakeFixedCodePage(unsigned ansiCodePage, unsigned oemCodePage) {
  return std::make_unique<Win32CodePage>(ansiCodePage, oemCodePage);
}

}  // namespace kestrel
