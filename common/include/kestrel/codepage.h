// The code page service: conversions between the system's OEM and ANSI pages, wide text and
// UTF-8, done by the Win32 calls on Windows and by iconv elsewhere.
#pragma once

#include <memory>
#include <string>

namespace kestrel {

// Code page conversions between the system's OEM and ANSI pages, UTF-16/32 and UTF-8.
class ICodePage {
 public:
  virtual ~ICodePage() = default;

  // The ANSI code page (936 on Chinese systems, 1252 on Western ones).
  virtual unsigned AnsiCodePage() const = 0;

  // Command output (OEM code page) to wide text.
  virtual std::wstring OemToWide(const std::string& text) const = 0;

  // Wide text to the ANSI code page; empty when it cannot be converted.
  virtual std::string WideToAnsi(const std::wstring& text) const = 0;

  // Wide text to GBK, whatever the system's code page.
  virtual std::string WideToAnsiChs(const std::wstring& text) const = 0;

  // ANSI code page text to UTF-8, for network bodies.
  virtual std::string AnsiToUtf8(const std::string& text) const = 0;

  // ANSI code page text to wide text.
  virtual std::wstring AnsiToWide(const std::string& text) const = 0;

  // UTF-8 (network answers) to wide text; malformed bytes become U+FFFD.
  virtual std::wstring Utf8ToWide(const std::string& text) const = 0;
};

// The running system's pages. Natively they follow the locale the way Wine does:
// zh_CN gives 936/936, anything else 1252/437.
std::unique_ptr<ICodePage> MakeSystemCodePage();

// Fixed pages whatever the system has, for tests of either language on any machine.
std::unique_ptr<ICodePage> MakeFixedCodePage(unsigned ansiCodePage, unsigned oemCodePage);

#if !defined(_WIN32)
// The native implementation of fixed pages.
std::unique_ptr<ICodePage> MakeIconvCodePage(unsigned ansiCodePage, unsigned oemCodePage);
#endif

}  // namespace kestrel
