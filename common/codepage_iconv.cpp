// The code page service outside Windows: the same conversions as the Win32 calls, done by iconv,
// with the system's pages chosen from the locale the way Wine chooses them.
//
// Bytes that the source page cannot decode become U+FFFD for the double-byte pages, and U+00XX
// for the single-byte ones (Windows maps the holes of 1252 that way); wide characters the target
// page cannot hold become "?", as Windows' default character. The conversion always goes on
// after the bad unit, so damaged command output still yields its readable parts.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kestrel/codepage.h"

namespace kestrel {

namespace {

constexpr unsigned kChinesePage = 936;
constexpr wchar_t kReplacementChar = 0xFFFD;
constexpr char kDefaultChar = '?';

// The iconv name of a Windows code page. glibc knows them as "CP<number>"; its CP936 is
// Windows' GBK, euro sign at 0x80 included.
std::string IconvName(unsigned codePage) {
  return "CP" + std::to_string(codePage);
}

bool IsDoubleBytePage(unsigned codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

// One iconv descriptor for the length of one conversion: descriptors carry state, so sharing
// them between threads would need a lock.
class Iconv {
 public:
  Iconv(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Iconv() {
    if (ok()) {
      iconv_close(cd_);
    }
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts `size` bytes at `input`, made of units of `unit` bytes, into OutChar units. On input
// that cannot be converted, `replace(badUnit)` gives the one OutChar written in its place and the
// unit is skipped. Empty output when iconv does not know one of the two names.
template <typename OutChar, typename Replace>
std::basic_string<OutChar> Convert(const std::string& to, const std::string& from,
                                   const char* input, std::size_t size, std::size_t unit,
                                   Replace replace) {
  std::basic_string<OutChar> out;
  if (size == 0) {
    return out;
  }
  Iconv cd(to, from);
  if (!cd.ok()) {
    return out;
  }
  // GBK and UTF-8 never need more than four output bytes per input byte; grow when they do.
  out.resize(size / unit + 16);
  std::size_t produced = 0;
  char* in = const_cast<char*>(input);  // iconv's signature, not a write.
  std::size_t inLeft = size;
  while (inLeft > 0) {
    if (produced == out.size()) {
      out.resize(out.size() * 2);
    }
    char* outPtr = reinterpret_cast<char*>(&out[produced]);
    std::size_t outLeft = (out.size() - produced) * sizeof(OutChar);
    const std::size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    produced = out.size() - outLeft / sizeof(OutChar);
    if (rc != static_cast<std::size_t>(-1)) {
      break;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (a unit that does not convert) or EINVAL (a sequence cut off by the end).
    if (produced == out.size()) {
      out.resize(out.size() * 2);
    }
    out[produced++] = replace(in);
    const std::size_t skip = inLeft < unit ? inLeft : unit;
    in += skip;
    inLeft -= skip;
  }
  out.resize(produced);
  return out;
}

std::wstring DecodeToWide(unsigned codePage, const std::string& text) {
  const bool doubleByte = IsDoubleBytePage(codePage);
  return Convert<wchar_t>(
      "WCHAR_T", IconvName(codePage), text.data(), text.size(), 1, [doubleByte](const char* bad) {
        return doubleByte ? kReplacementChar
                          : static_cast<wchar_t>(static_cast<unsigned char>(*bad));
      });
}

std::string EncodeWide(const std::string& target, const std::wstring& text) {
  return Convert<char>(target, "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                       text.size() * sizeof(wchar_t), sizeof(wchar_t),
                       [](const char*) { return kDefaultChar; });
}

// Wide text to a code page. glibc's iconv drops the Unicode tag characters (U+E0000 to U+E007F)
// without a word where the page cannot hold them, and no code page can; they become the default
// character like every other character the page lacks.
std::string EncodeWideToPage(unsigned codePage, const std::wstring& text) {
  std::wstring kept = text;
  for (wchar_t& c : kept) {
    const std::uint32_t unit = static_cast<std::uint32_t>(c);
    if (unit >= 0xE0000 && unit <= 0xE007F) {
      c = static_cast<wchar_t>(kDefaultChar);
    }
  }
  return EncodeWide(IconvName(codePage), kept);
}

class IconvCodePage final : public ICodePage {
 public:
  IconvCodePage(unsigned ansiCodePage, unsigned oemCodePage)
      : ansi_(ansiCodePage), oem_(oemCodePage) {}

  unsigned AnsiCodePage() const override { return ansi_; }

  std::wstring OemToWide(const std::string& text) const override {
    return DecodeToWide(oem_, text);
  }

  std::string WideToAnsi(const std::wstring& text) const override {
    return EncodeWideToPage(ansi_, text);
  }

  // A direct conversion to GBK: switching the process-wide C locale around wcstombs would race
  // with every other thread that converts text meanwhile.
  std::string WideToAnsiChs(const std::wstring& text) const override {
    return EncodeWideToPage(kChinesePage, text);
  }

  // Through wide text, like the Win32 pair of calls, so undecodable bytes end up the same.
  std::string AnsiToUtf8(const std::string& text) const override {
    return EncodeWide("UTF-8", DecodeToWide(ansi_, text));
  }

  std::wstring AnsiToWide(const std::string& text) const override {
    return DecodeToWide(ansi_, text);
  }

  // Malformed UTF-8 becomes U+FFFD, byte by byte, as Windows replaces it.
  std::wstring Utf8ToWide(const std::string& text) const override {
    return Convert<wchar_t>("WCHAR_T", "UTF-8", text.data(), text.size(), 1,
                            [](const char*) { return kReplacementChar; });
  }

 private:
  unsigned ansi_;
  unsigned oem_;
};

// The locale that decides the character type, in POSIX order of precedence.
std::string_view CharacterLocale() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return {};
}

}  // namespace

std::unique_ptr<ICodePage> MakeIconvCodePage(unsigned ansiCodePage, unsigned oemCodePage) {
  return std::make_unique<IconvCodePage>(ansiCodePage, oemCodePage);
}

std::unique_ptr<ICodePage> MakeFixedCodePage(unsigned ansiCodePage, unsigned oemCodePage) {
  return MakeIconvCodePage(ansiCodePage, oemCodePage);
}

std::unique_ptr<ICodePage> MakeSystemCodePage() {
  // Wine gives a zh_CN locale the pages 936/936 and a Western one 1252/437.
  if (CharacterLocale().substr(0, 5) == "zh_CN") {
    return MakeIconvCodePage(kChinesePage, kChinesePage);
  }
  return MakeIconvCodePage(1252, 437);
}

}  // namespace kestrel
