// How a normal request fares while many clients hold connections: with 0, 1,000 and 10,000
// idle connections (spread over many source addresses of 127.0.0.0/8, so that the per-address
// cap does not close them) and with 100 connections sending their headers a byte a second.
// Run against a started server whose header limit outlasts the run (--header-seconds 300);
// every answer is checked, and the times printed as median and worst.
//
//   idle_connections_bench PORT [REQUESTS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int ConnectFrom(int port, unsigned index) {
  // 100 connections an address: 127.0.<1 + index / 25600>.<1 + index / 100 % 256>
  const std::string from =
      "127.0." + std::to_string(10 + index / 25600) + "." + std::to_string(1 + index / 100 % 250);
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
    return -1;
  }
  return fd;
}

// One request on a new connection; its time in microseconds, or -1 when the answer is wrong.
long long NormalRequest(int port) {
  const auto start = Clock::now();
  const int fd = ConnectFrom(port, 9999999);  // an address of its own
  if (fd < 0) {
    return -1;
  }
  const std::string request =
      "GET /download HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
  std::string answer;
  if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
      static_cast<ssize_t>(request.size())) {
    char buf[16384];
    timeval tv{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;) {
      answer.append(buf, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  const bool right =
      answer.rfind("HTTP/1.1 200 OK\r\n", 0) == 0 && answer.find("</html>") != std::string::npos;
  return right ? us.count() : -1;
}

bool Measure(const char* name, int port, int requests) {
  std::vector<long long> times;
  for (int i = 0; i < requests; ++i) {
    const long long t = NormalRequest(port);
    if (t < 0) {
      std::printf("%-36s answer %d wrong or missing\n", name, i);
      return false;
    }
    times.push_back(t);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::sort(times.begin(), times.end());
  std::printf("%-36s %d requests: median %.2f ms, worst %.2f ms\n", name, requests,
              static_cast<double>(times[times.size() / 2]) / 1000.0,
              static_cast<double>(times.back()) / 1000.0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: idle_connections_bench PORT [REQUESTS]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const int requests = argc > 2 ? std::atoi(argv[2]) : 200;
  rlimit lim{};
  getrlimit(RLIMIT_NOFILE, &lim);
  lim.rlim_cur = lim.rlim_max;
  setrlimit(RLIMIT_NOFILE, &lim);
  bool ok = true;
  for (const unsigned idle : {0u, 1000u, 10000u}) {
    std::vector<int> fds;
    for (unsigned i = 0; i < idle; ++i) {
      const int fd = ConnectFrom(port, i);
      if (fd < 0) {
        std::printf("connection %u of %u failed\n", i, idle);
        ok = false;
        break;
      }
      fds.push_back(fd);
    }
    const std::string name = std::to_string(fds.size()) + " idle connections";
    ok = Measure(name.c_str(), port, requests) && ok;
    for (int fd : fds) {
      close(fd);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  // 100 connections sending a request's headers a byte a second, for as long as the measuring.
  std::vector<int> slow;
  for (unsigned i = 0; i < 100; ++i) {
    const int fd = ConnectFrom(port, 20000 + i);
    if (fd >= 0) {
      slow.push_back(fd);
      send(fd, "GET /download HTTP/1.1\r\nX-Slow: ", 32, MSG_NOSIGNAL);
    }
  }
  std::atomic<bool> done{false};
  std::thread drip([&] {
    while (!done) {
      for (int fd : slow) {
        send(fd, "a", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
      }
      for (int i = 0; i < 10 && !done; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
  });
  const std::string name = std::to_string(slow.size()) + " sending a byte a second";
  ok = Measure(name.c_str(), port, requests) && ok;
  done = true;
  drip.join();
  for (int fd : slow) {
    close(fd);
  }
  return ok ? 0 : 1;
}
