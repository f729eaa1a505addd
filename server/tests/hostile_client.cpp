#include "hostile_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kestrel::server::test {

std::vector<int> Connect(int port, const std::string& from, int count) {
  std::vector<int> fds;
  for (int i = 0; i < count; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in src{};
    src.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &src.sin_addr);
    sockaddr_in dst{};
    dst.sin_family = AF_INET;
    dst.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &dst.sin_addr);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&src), sizeof src) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&dst), sizeof dst) != 0) {
      if (fd >= 0) {
        close(fd);
      }
      break;
    }
    fds.push_back(fd);
  }
  return fds;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool ClosedByServer(int fd, std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      return false;
    }
    char buf[4096];
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
      return true;
    }
  }
}

void CloseAll(std::vector<int>& fds) {
  for (int fd : fds) {
    close(fd);
  }
  fds.clear();
}

int PlainGet(int port, const std::string& from, const std::string& path, std::string& body,
             std::chrono::milliseconds limit) {
  std::vector<int> fd = Connect(port, from, 1);
  if (fd.empty()) {
    return -1;
  }
  const auto until = std::chrono::steady_clock::now() + limit;
  std::string answer;
  if (SendAll(fd[0], "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")) {
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      pollfd p{fd[0], POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        answer.clear();  // too late counts as no answer
        break;
      }
      char buf[16384];
      const ssize_t n = recv(fd[0], buf, sizeof buf, 0);
      if (n <= 0) {
        break;
      }
      answer.append(buf, static_cast<std::size_t>(n));
    }
  }
  CloseAll(fd);
  const std::size_t end = answer.find("\r\n\r\n");
  if (answer.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) {
    return -1;
  }
  body = answer.substr(end + 4);
  return std::atoi(answer.c_str() + 9);
}

ProcessUsage Usage() {
  ProcessUsage u;
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "Threads:") {
      status >> u.threads;
    } else if (key == "VmRSS:") {
      status >> u.residentKb;
    }
  }
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++u.openFiles;
  }
  return u;
}

}  // namespace kestrel::server::test
