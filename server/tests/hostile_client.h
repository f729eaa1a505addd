// Misbehaving clients of our own for the server's tests: raw loopback connections from a chosen
// source address of 127.0.0.0/8, which send what a test tells them and nothing more, and the
// process figures that show whether the server stays bounded meanwhile.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::server::test {

// Connects `count` sockets from `from` to 127.0.0.1:`port`; fewer when connecting fails.
std::vector<int> Connect(int port, const std::string& from, int count);
bool SendAll(int fd, std::string_view bytes);
// True when the server ended the connection (end of stream or reset) within `wait`.
bool ClosedByServer(int fd, std::chrono::milliseconds wait);
void CloseAll(std::vector<int>& fds);

// One plain request from `from` on a new connection; the status, or -1. `body` gets the body.
int PlainGet(int port, const std::string& from, const std::string& path, std::string& body,
             std::chrono::milliseconds limit);

struct ProcessUsage {
  long threads = 0;
  long openFiles = 0;
  long residentKb = 0;
};
ProcessUsage Usage();

}  // namespace kestrel::server::test
