#include "shell/web_address.h"

namespace usagelink {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    if (c != prefix[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsPlainWebAddress(std::string_view address) {
  std::string_view rest;
  if (StartsWithNoCase(address, "http://")) {
    rest = address.substr(7);
  } else if (StartsWithNoCase(address, "https://")) {
    rest = address.substr(8);
  } else {
    return false;
  }
  if (rest.empty() || rest.front() == '/' || rest.front() == '\\') {
    return false;  // no host: "http:///C:/x" or a UNC-like "http://\\server"
  }
  for (char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '"' || c == '\'' || c == '`' || c == '\\' || c == ' ') {
      return false;
    }
  }
  return true;
}

}  // namespace usagelink
