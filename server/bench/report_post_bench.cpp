// How fast the server stores reports: CLIENTS threads post REPORTS copies of one report document
// to https://127.0.0.1:PORT/report and time every answer. Each post opens its own connection, as
// each upload of the program does (a fresh libcurl handle, a fresh TLS handshake); --keep-alive
// reuses one connection per thread instead.
//
//   report_post_bench --port PORT [--port PORT2...] --report FILE [--clients 8] [--reports 2000]
//                     [--keep-alive]
//
// With several ports (instances of the server on one database) the clients take them in turn.
// Prints the throughput and the latency percentiles; exits 1 when any post is not stored.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kUsageError = 2;
constexpr int kFailed = 1;

struct Settings {
  std::vector<int> ports;
  std::string reportFile;
  int clients = 8;
  int reports = 2000;
  bool keepAlive = false;
};

bool ParseArgs(int argc, char** argv, Settings& s) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--keep-alive") {
      s.keepAlive = true;
    } else if (arg == "--port" && hasValue) {
      s.ports.push_back(std::atoi(argv[++i]));
    } else if (arg == "--report" && hasValue) {
      s.reportFile = argv[++i];
    } else if (arg == "--clients" && hasValue) {
      s.clients = std::atoi(argv[++i]);
    } else if (arg == "--reports" && hasValue) {
      s.reports = std::atoi(argv[++i]);
    } else {
      return false;
    }
  }
  return !s.ports.empty() && s.ports.front() > 0 && !s.reportFile.empty() && s.clients > 0 &&
         s.reports > 0;
}

std::unique_ptr<httplib::SSLClient> Connect(int port) {
  auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", port);
  // The server's test certificate is self-signed, and the program does not check it either.
  client->enable_server_certificate_verification(false);
  client->set_connection_timeout(10);
  client->set_read_timeout(30);
  // The request goes out in two writes (headers, body): without this, a reused connection waits
  // for the server's delayed acknowledgement of the first before sending the second.
  client->set_tcp_nodelay(true);
  return client;
}

// Posts until the shared count runs out; each answer's time in microseconds goes to `times`.
void Client(const Settings& s, int port, const std::string& body, std::atomic<int>& next,
            std::atomic<int>& failures, std::vector<double>& times) {
  std::unique_ptr<httplib::SSLClient> client;
  while (next.fetch_add(1) < s.reports) {
    const Clock::time_point start = Clock::now();
    if (!client || !s.keepAlive) {
      client = Connect(port);
      client->set_keep_alive(s.keepAlive);
    }
    const httplib::Result res = client->Post("/report", body, "application/json;charset=UTF-8");
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    if (!res || res->status != 200 || res->body.find("\"code\":200") == std::string::npos) {
      ++failures;
    }
  }
}

double Percentile(const std::vector<double>& sorted, double p) {
  const std::size_t at = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(at, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  Settings s;
  if (!ParseArgs(argc, argv, s)) {
    std::fprintf(stderr,
                 "usage: report_post_bench --port PORT [--port PORT...] --report FILE [--clients "
                 "N] [--reports N] "
                 "[--keep-alive]\n");
    return kUsageError;
  }
  std::ifstream in(s.reportFile, std::ios::binary);
  const std::string body{std::istreambuf_iterator<char>(in), {}};
  if (body.empty()) {
    std::fprintf(stderr, "report_post_bench: cannot read %s\n", s.reportFile.c_str());
    return kUsageError;
  }

  std::atomic<int> next{0};
  std::atomic<int> failures{0};
  std::vector<std::vector<double>> times(static_cast<std::size_t>(s.clients));
  const Clock::time_point start = Clock::now();
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < times.size(); ++i) {
    const int port = s.ports[i % s.ports.size()];
    threads.emplace_back([&, i, port] { Client(s, port, body, next, failures, times[i]); });
  }
  for (std::thread& t : threads) {
    t.join();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  std::vector<double> all;
  for (const auto& own : times) {
    all.insert(all.end(), own.begin(), own.end());
  }
  std::sort(all.begin(), all.end());
  std::printf("%d reports of %zu bytes, %d clients, %s: %.1f s, %.0f reports/s\n", s.reports,
              body.size(), s.clients, s.keepAlive ? "one connection each" : "a connection a post",
              seconds, static_cast<double>(s.reports) / seconds);
  std::printf("latency ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", Percentile(all, 0.50) / 1000,
              Percentile(all, 0.90) / 1000, Percentile(all, 0.99) / 1000, all.back() / 1000);
  if (failures.load() > 0) {
    std::fprintf(stderr, "report_post_bench: %d posts were not stored\n", failures.load());
    return kFailed;
  }
  return 0;
}
