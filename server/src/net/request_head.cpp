#include "request_head.h"

#include <limits>

#include "kestrel/ascii.h"

namespace kestrel::server {
namespace {

constexpr std::string_view kEnd = "\r\n\r\n";

// A header line named `name` (given in lower case), in any case.
bool NameIs(std::string_view line, std::string_view name) {
  return line.size() > name.size() && line[name.size()] == ':' && StartsWithNoCase(line, name);
}

std::string_view Value(std::string_view line) {
  std::string_view v = line.substr(line.find(':') + 1);
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) {
    v.remove_prefix(1);
  }
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) {
    v.remove_suffix(1);
  }
  return v;
}

bool ParseLength(std::string_view v, std::uint64_t& out) {
  if (v.empty() || v.size() > 19) {
    return false;
  }
  std::uint64_t n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') {
      return false;
    }
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  out = n;
  return true;
}

}  // namespace

RequestHead ScanRequestHead(std::string_view received, std::size_t maxHeadBytes) {
  RequestHead head;
  const std::size_t end = received.find(kEnd);
  if (end == std::string_view::npos || end + kEnd.size() > maxHeadBytes) {
    if (received.size() >= maxHeadBytes) {
      head.status = RequestHead::Status::kTooLarge;
    }
    return head;
  }
  head.headBytes = end + kEnd.size();
  head.status = RequestHead::Status::kComplete;
  bool haveLength = false;
  std::string_view rest = received.substr(0, end + 2);
  rest.remove_prefix(rest.find("\r\n") + 2);  // the request line
  while (!rest.empty()) {
    const std::size_t eol = rest.find("\r\n");
    const std::string_view line = rest.substr(0, eol);
    rest.remove_prefix(eol + 2);
    if (NameIs(line, "transfer-encoding")) {
      head.status = RequestHead::Status::kChunked;
    } else if (NameIs(line, "content-length")) {
      std::uint64_t n = 0;
      // Two lengths that differ leave the body's end in doubt: refused like a malformed one.
      if (!ParseLength(Value(line), n) || (haveLength && n != head.bodyBytes)) {
        head.status = RequestHead::Status::kBadLength;
        return head;
      }
      haveLength = true;
      head.bodyBytes = n;
    } else if (NameIs(line, "expect") && EqualsNoCase(Value(line), "100-continue")) {
      head.expectsContinue = true;
    }
  }
  if (head.status == RequestHead::Status::kChunked) {
    head.bodyBytes = 0;
  }
  return head;
}

std::string HeadWithoutExpect(std::string_view head) {
  std::string out;
  out.reserve(head.size());
  while (!head.empty()) {
    const std::size_t eol = head.find("\r\n");
    const std::size_t take = eol == std::string_view::npos ? head.size() : eol + 2;
    const std::string_view line = head.substr(0, take);
    if (!NameIs(line, "expect")) {
      out.append(line);
    }
    head.remove_prefix(take);
  }
  return out;
}

}  // namespace kestrel::server
