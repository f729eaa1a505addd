#include "support/loopback_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kestrel::test {

namespace {

// Everything up to the end of the body that Content-Length announces.
bool RequestComplete(const std::string& text) {
  const std::size_t end = text.find("\r\n\r\n");
  if (end == std::string::npos) {
    return false;
  }
  const std::size_t length = text.find("Content-Length: ");
  const std::size_t body = length == std::string::npos || length > end
                               ? 0
                               : std::strtoul(text.c_str() + length + 16, nullptr, 10);
  return text.size() >= end + 4 + body;
}

}  // namespace

LoopbackHttp::LoopbackHttp(Behaviour behaviour, std::string answer)
    : behaviour_(behaviour), answer_(std::move(answer)) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // any free port
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener_, 1);
  socklen_t size = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttp::~LoopbackHttp() {
  shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) {
    thread_.join();
  }
  close(listener_);
}

std::string LoopbackHttp::url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/report";
}

std::string LoopbackHttp::request() {
  if (thread_.joinable()) {
    thread_.join();
  }
  return request_;
}

void LoopbackHttp::Serve() {
  const int client = accept(listener_, nullptr, nullptr);
  if (client < 0) {
    return;
  }
  char block[4096];
  while (!RequestComplete(request_)) {
    const ssize_t got = recv(client, block, sizeof block, 0);
    if (got <= 0) {
      break;
    }
    request_.append(block, static_cast<std::size_t>(got));
  }
  switch (behaviour_) {
    case Behaviour::kAnswer:
      send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL);
      break;
    case Behaviour::kStall: {
      // Until the client hangs up: its reads see no byte at all.
      pollfd wait{client, POLLIN, 0};
      while (poll(&wait, 1, 100) == 0 || recv(client, block, sizeof block, 0) > 0) {
      }
      break;
    }
    case Behaviour::kDrop:
      break;
    case Behaviour::kEndless: {
      const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n";
      send(client, head.data(), head.size(), MSG_NOSIGNAL);
      const std::vector<char> body(64 * 1024, '{');
      for (;;) {
        const ssize_t put = send(client, body.data(), body.size(), MSG_NOSIGNAL);
        if (put <= 0) {
          break;
        }
        sent_ += static_cast<std::size_t>(put);
      }
      break;
    }
  }
  close(client);
}

}  // namespace kestrel::test
