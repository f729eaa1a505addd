// Plain HTTP requests from a Wine test program to our server's test control and read-back
// routes on this build's port (libcurl).
#pragma once

#include <string>

namespace kestrel::test {

struct HttpAnswer {
  long status = 0;  // 0 when the transfer failed
  std::string headers;
  std::string body;
};

// "http://127.0.0.1:<port>" of the server's plain listener.
std::string ServerAddress();

// A request to the plain port: POST (with an empty body) when `post`, else GET; 10 s at most.
HttpAnswer Http(const std::string& pathAndQuery, bool post);

}  // namespace kestrel::test
