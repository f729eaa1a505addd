#include "request_stream.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace kestrel::server {

RequestStream::RequestStream(Connection& conn, std::uint64_t length, const ConnectionLimits& limits)
    : conn_(conn), length_(length), limits_(limits) {}

bool RequestStream::is_readable() const {
  return consumed_ < length_;
}

bool RequestStream::is_writable() const {
  return !failed_ && conn_.WaitWritable(limits_.writeSeconds * 1000);
}

ssize_t RequestStream::read(char* ptr, size_t size) {
  if (failed_ || consumed_ >= length_) {
    return 0;
  }
  const std::uint64_t left = length_ - consumed_;
  size = static_cast<size_t>(std::min<std::uint64_t>(size, left));
  if (consumed_ < conn_.received.size()) {
    const std::size_t n = std::min<std::size_t>(size, conn_.received.size() - consumed_);
    std::memcpy(ptr, conn_.received.data() + consumed_, n);
    consumed_ += n;
    return static_cast<ssize_t>(n);
  }
  return 0;
}

ssize_t RequestStream::write(const char* ptr, size_t size) {
  if (failed_ || !conn_.WriteAll(ptr, size, limits_.writeSeconds * 1000)) {
    failed_ = true;
    return -1;
  }
  return static_cast<ssize_t>(size);
}

void RequestStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  ip = conn_.Peer();
  port = conn_.PeerPort();
}

void RequestStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  ip.clear();
  port = 0;
  if (getsockname(conn_.Fd(), reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    return;
  }
  char text[INET6_ADDRSTRLEN] = {};
  if (addr.ss_family == AF_INET) {
    const auto* a = reinterpret_cast<const sockaddr_in*>(&addr);
    inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
    port = ntohs(a->sin_port);
  } else if (addr.ss_family == AF_INET6) {
    const auto* a = reinterpret_cast<const sockaddr_in6*>(&addr);
    inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
    port = ntohs(a->sin6_port);
  }
  ip = text;
}

socket_t RequestStream::socket() const {
  return conn_.Fd();
}

void RequestStream::Finish() {
  conn_.received.erase(
      0, static_cast<std::size_t>(std::min<std::uint64_t>(consumed_, conn_.received.size())));
}

}  // namespace kestrel::server
