#include "network/report/json_text.h"

namespace netprobe {

bool IsLeadByte(unsigned codePage, unsigned char byte) {
  switch (codePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

bool IsTrailByte(unsigned codePage, unsigned char byte) {
  switch (codePage) {
    case 932:
      return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
    case 936:
    case 950:
      return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
    case 949:
      return byte >= 0x41 && byte <= 0xFE;
    default:
      return false;
  }
}

namespace {

// Whether the page turns `bytes` into characters and back into the same bytes: a pair it has no
// character for comes back as "?" or split.
bool RoundTrips(const ICodePage& pages, std::string_view bytes) {
  const std::string text(bytes);
  return pages.WideToAnsi(pages.AnsiToWide(text)) == text;
}

bool HasLeadByte(unsigned codePage, std::string_view text) {
  for (const char c : text) {
    if (IsLeadByte(codePage, static_cast<unsigned char>(c))) {
      return true;
    }
  }
  return false;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text, const ICodePage& pages) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const unsigned codePage = pages.AnsiCodePage();
  // One conversion of the whole value settles the usual case; only a value that does not come
  // back unchanged is judged pair by pair.
  const bool allPairsConvert = !HasLeadByte(codePage, text) || RoundTrips(pages, text);
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(codePage, c)) {
      // A pair is one character either way: its trail byte is never read on its own.
      const bool paired =
          i + 1 < text.size() && IsTrailByte(codePage, static_cast<unsigned char>(text[i + 1]));
      if (paired && (allPairsConvert || RoundTrips(pages, text.substr(i, 2)))) {
        out += text.substr(i, 2);
      } else {
        out += '?';
      }
      if (paired) {
        ++i;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0x0F];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

}  // namespace netprobe
