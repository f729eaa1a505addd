// One HTTP request over libcurl with a body (POST or PUT), shared by the libraries that talk to
// our server: the report and DNS uploads, the version check and the statistic. It prints
// nothing: a DLL has no console of its own, and the caller turns the outcome into its own
// failure codes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kestrel {

struct HttpRequest {
  std::string url;
  bool post = true;  // POST, else PUT
  std::string body;  // bytes as sent
  std::vector<std::string> headers;
  bool verifyPeer = true;   // https: check the server's certificate and host name
  long connectSeconds = 0;  // 0: libcurl's own limit
  // The transfer ends as failed once no byte has moved either way for this long (0: never).
  long stallSeconds = 0;
};

enum class HttpStatus {
  kDone,      // an answer arrived, status line and headers first
  kFailed,    // no connection, stalled, or the answer's reader refused a block
  kNoHandle,  // the transfer could not even be set up
};

// Takes each block of the answer as it arrives; false ends the transfer as failed.
using HttpAnswerReader = std::function<bool(const char* data, std::size_t size)>;

HttpStatus SendHttpRequest(const HttpRequest& request, const HttpAnswerReader& read);

}  // namespace kestrel
