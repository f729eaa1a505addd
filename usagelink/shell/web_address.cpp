#include "shell/web_address.h"

#include "kestrel/ascii.h"

namespace usagelink {

bool IsPlainWebAddress(std::string_view address) {
  std::string_view rest;
  if (kestrel::StartsWithNoCase(address, "http://")) {
    rest = address.substr(7);
  } else if (kestrel::StartsWithNoCase(address, "https://")) {
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
