// A one-connection HTTP stand-in on 127.0.0.1 for native tests of the libcurl uploads: it keeps
// the request it received and answers as the test chose, including the ways a server fails.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace kestrel::test {

class LoopbackHttp {
 public:
  enum class Behaviour {
    kAnswer,   // sends `answer` and closes
    kStall,    // reads the request, then sends nothing until the client gives up
    kDrop,     // reads the request and closes without a byte
    kEndless,  // a status line and headers, then body bytes without end
  };

  LoopbackHttp(Behaviour behaviour, std::string answer = std::string());
  ~LoopbackHttp();
  LoopbackHttp(const LoopbackHttp&) = delete;
  LoopbackHttp& operator=(const LoopbackHttp&) = delete;

  // "http://127.0.0.1:<port>/report"
  std::string url() const;
  // The request as received (request line, headers, body); complete once the client is done.
  std::string request();
  // Bytes sent by the endless answer before the client hung up.
  std::size_t bytesSent() const { return sent_; }

 private:
  void Serve();

  Behaviour behaviour_;
  std::string answer_;
  int listener_ = -1;
  int port_ = 0;
  std::string request_;
  std::atomic<std::size_t> sent_{0};
  std::thread thread_;
};

}  // namespace kestrel::test
