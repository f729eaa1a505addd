// Where a request's head ends and how long its body is, read from the bytes received so far.
// The connection layer collects a whole request this way before a worker thread sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::server {

struct RequestHead {
  enum class Status {
    kIncomplete,  // no blank line yet
    kComplete,
    kTooLarge,   // no blank line within the head limit
    kBadLength,  // a Content-Length that is not one plain number
    kChunked,    // a Transfer-Encoding body: not accepted, the length must be known
  };
  Status status = Status::kIncomplete;
  std::size_t headBytes = 0;  // through the blank line
  std::uint64_t bodyBytes = 0;
  bool expectsContinue = false;
};

RequestHead ScanRequestHead(std::string_view received, std::size_t maxHeadBytes);

// The head without its Expect lines, for a request whose "100 Continue" was already sent.
std::string HeadWithoutExpect(std::string_view head);

}  // namespace kestrel::server
