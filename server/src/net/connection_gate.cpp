#include "connection_gate.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "request_head.h"
#include "request_stream.h"

namespace kestrel::server {
namespace {

constexpr int kTickMs = 100;
constexpr int kAcceptBurst = 256;

void PeerOf(const sockaddr_storage& addr, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  port = 0;
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

}  // namespace

ConnectionGate::ConnectionGate(const ConnectionLimits& limits, SSL_CTX* tls, Serve serve,
                               httplib::TaskQueue& workers, AddressSlots& slots)
    : limits_(limits), tls_(tls), serve_(std::move(serve)), workers_(workers), slots_(slots) {
  epollFd_ = epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = wakeFd_;
  epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
}

ConnectionGate::~ConnectionGate() {
  Stop();
  if (listenFd_ >= 0) {
    close(listenFd_);
  }
  close(wakeFd_);
  close(epollFd_);
}

bool ConnectionGate::Listen(const std::string& host, int port, int& bound, std::string& error) {
  error = "cannot listen on " + host + ":" + std::to_string(port);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
    return false;
  }
  for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
    const int fd = socket(a->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      continue;
    }
    // No SO_REUSEPORT: a second server on a taken port must fail, not share its connections.
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, limits_.backlog) == 0) {
      listenFd_ = fd;
    } else {
      close(fd);
    }
  }
  freeaddrinfo(found);
  if (listenFd_ < 0) {
    return false;
  }
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  std::string ip;
  PeerOf(addr, ip, bound);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = listenFd_;
  epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &ev);
  error.clear();
  return true;
}

void ConnectionGate::Start() {
  thread_ = std::thread([this] { Run(); });
}

void ConnectionGate::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    for (Connection* c : busy_) {
      c->Abort();
    }
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t w = write(wakeFd_, &one, sizeof one);
  if (thread_.joinable()) {
    thread_.join();
  }
}

void ConnectionGate::Run() {
  epoll_event events[256];
  auto lastSweep = Clock::now();
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) {
        break;
      }
    }
    const int n = epoll_wait(epollFd_, events, 256, kTickMs);
    for (int i = 0; i < n; ++i) {
      const int fd = events[i].data.fd;
      if (fd == listenFd_) {
        Accept();
      } else if (fd == wakeFd_) {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t r = read(wakeFd_, &count, sizeof count);
      } else {
        Advance(fd);
      }
    }
    TakeBack();
    if (Clock::now() - lastSweep >= std::chrono::milliseconds(kTickMs)) {
      Sweep();
      lastSweep = Clock::now();
    }
  }
  waiting_.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  returned_.clear();
}

void ConnectionGate::Accept() {
  for (int i = 0; i < kAcceptBurst; ++i) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int fd =
        accept4(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) {
        continue;
      }
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // Out of descriptors: the listener would report ready at once again. Rest a tick.
        epoll_ctl(epollFd_, EPOLL_CTL_DEL, listenFd_, nullptr);
        listenPaused_ = true;
        resumeListen_ = Clock::now() + std::chrono::milliseconds(kTickMs);
      }
      return;
    }
    std::string peer;
    int peerPort = 0;
    PeerOf(addr, peer, peerPort);
    if (!slots_.Take(peer)) {
      close(fd);
      continue;
    }
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    SSL* ssl = nullptr;
    if (tls_) {
      ssl = SSL_new(tls_);
      if (!ssl || SSL_set_fd(ssl, fd) != 1) {
        SSL_free(ssl);
        close(fd);
        slots_.Give(peer);
        continue;
      }
    }
    auto conn = std::make_shared<Connection>(fd, ssl, std::move(peer), peerPort, slots_);
    Waiting& w = waiting_[fd];
    w.conn = std::move(conn);
    w.stage = tls_ ? Stage::kHandshake : Stage::kHead;
    w.deadline = Clock::now() +
                 std::chrono::seconds(tls_ ? limits_.handshakeSeconds : limits_.headerSeconds);
    Watch(w, EPOLLIN);
  }
}

void ConnectionGate::Admit(std::shared_ptr<Connection> conn, bool kept, std::uint64_t drain) {
  const int fd = conn->Fd();
  Waiting& w = waiting_[fd];
  w = Waiting{};
  w.conn = std::move(conn);
  w.kept = kept && w.conn->received.empty();
  w.deadline =
      Clock::now() + std::chrono::seconds(w.kept ? limits_.idleSeconds : limits_.headerSeconds);
  if (drain > 0) {
    w.stage = Stage::kDrain;
    w.bodyBytes = drain;
    w.conn->EndSending();
  }
  Watch(w, EPOLLIN);
  Advance(fd);  // a pipelined request, or one that TLS already holds decrypted
}

void ConnectionGate::Watch(Waiting& w, std::uint32_t events) {
  if (w.events == events) {
    return;
  }
  epoll_event ev{};
  ev.events = events;
  ev.data.fd = w.conn->Fd();
  epoll_ctl(epollFd_, w.events == 0 ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, w.conn->Fd(), &ev);
  w.events = events;
}

void ConnectionGate::Advance(int fd) {
  const auto it = waiting_.find(fd);
  if (it == waiting_.end()) {
    return;
  }
  Waiting& w = it->second;
  if (w.stage == Stage::kHandshake) {
    switch (w.conn->Handshake()) {
      case Connection::Io::kDone:
        w.stage = Stage::kHead;
        w.deadline = Clock::now() + std::chrono::seconds(limits_.headerSeconds);
        Watch(w, EPOLLIN);
        break;
      case Connection::Io::kWantRead:
        Watch(w, EPOLLIN);
        return;
      case Connection::Io::kWantWrite:
        Watch(w, EPOLLOUT);
        return;
      case Connection::Io::kClosed:
        Close(fd);
        return;
    }
  }
  if (w.stage == Stage::kDrain) {
    if (w.conn->Discard(w.bodyBytes, w.dropped) != Connection::Io::kWantRead) {
      Close(fd);
    }
    return;
  }
  // A stage change can leave bytes that TLS decrypted already: read again before waiting.
  for (int round = 0; round < 4; ++round) {
    const std::size_t limit = w.stage == Stage::kHead
                                  ? limits_.maxHeadBytes
                                  : static_cast<std::size_t>(w.headBytes + w.bodyBytes);
    const Connection::Io r = w.conn->ReadAvailable(limit);
    if (r == Connection::Io::kClosed) {
      Close(fd);
      return;
    }
    const Stage before = w.stage;
    if (!Evaluate(w)) {
      return;
    }
    if (r == Connection::Io::kWantRead && w.stage == before) {
      return;
    }
  }
}

bool ConnectionGate::Evaluate(Waiting& w) {
  using namespace std::chrono;
  const int fd = w.conn->Fd();
  std::string& received = w.conn->received;
  const auto now = Clock::now();
  if (w.stage == Stage::kHead) {
    if (received.empty()) {
      return true;
    }
    if (w.kept) {
      w.kept = false;
      w.deadline = now + seconds(limits_.headerSeconds);
    }
    RequestHead h = ScanRequestHead(received, limits_.maxHeadBytes);
    switch (h.status) {
      case RequestHead::Status::kIncomplete:
        return true;
      case RequestHead::Status::kTooLarge:
        Refuse(w, "431 Request Header Fields Too Large");
        return false;
      case RequestHead::Status::kBadLength:
        Refuse(w, "400 Bad Request");
        return false;
      case RequestHead::Status::kChunked:
        Refuse(w, "411 Length Required");
        return false;
      case RequestHead::Status::kComplete:
        break;
    }
    if (h.expectsContinue) {
      // The gate gives the go-ahead itself, so the routes must not send a second one.
      const std::string head = HeadWithoutExpect(std::string_view(received).substr(0, h.headBytes));
      const bool bodyPending = received.size() == h.headBytes;
      received.replace(0, h.headBytes, head);
      h.headBytes = head.size();
      if (bodyPending && h.bodyBytes > 0 && h.bodyBytes <= limits_.maxBodyBytes) {
        static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
        if (!w.conn->WriteAll(kContinue, sizeof kContinue - 1, 0)) {
          Close(fd);
          return false;
        }
      }
    }
    w.headBytes = h.headBytes;
    w.bodyBytes = h.bodyBytes;
    if (h.bodyBytes > limits_.maxBodyBytes) {
      // The routes answer 413 from the head alone; the body is never read.
      const std::uint64_t early = received.size() - h.headBytes;
      HandOver(fd, h.headBytes, h.bodyBytes > early ? h.bodyBytes - early : 1);
      return false;
    }
    w.stage = Stage::kBody;
    w.bodyStart = now;
  }
  const std::uint64_t whole = w.headBytes + w.bodyBytes;
  bodyBuffered_ += received.size() - w.counted;
  w.counted = received.size();
  if (received.size() >= whole) {
    HandOver(fd, whole, 0);
    return false;
  }
  if (bodyBuffered_ > limits_.bodyBudgetBytes) {
    Refuse(w, "503 Service Unavailable");
    return false;
  }
  // The rate floor: after the grace the headers had, each second must bring bodyMinRate bytes.
  const std::uint64_t got = received.size() - w.headBytes;
  w.deadline =
      w.bodyStart + seconds(limits_.headerSeconds) +
      milliseconds(static_cast<std::int64_t>(got * 1000 / std::uint64_t(limits_.bodyMinRate)));
  return true;
}

void ConnectionGate::HandOver(int fd, std::uint64_t length, std::uint64_t unread) {
  const auto it = waiting_.find(fd);
  epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
  bodyBuffered_ -= it->second.counted;
  std::shared_ptr<Connection> conn = std::move(it->second.conn);
  waiting_.erase(it);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      return;
    }
    busy_.insert(conn.get());
  }
  const bool mustClose = unread > 0;
  workers_.enqueue([this, conn, length, mustClose, unread]() mutable {
    bool keep = false;
    {
      RequestStream stream(*conn, length, limits_);
      const bool closeNow = mustClose || conn->served + 1 >= limits_.maxKeepAliveRequests;
      bool closedByClient = false;
      bool ok = false;
      try {
        ok = serve_(stream, closeNow, closedByClient);
      } catch (...) {
        ok = false;
      }
      ++conn->served;
      keep = ok && !closeNow && !closedByClient && stream.ReadWhole();
      stream.Finish();
    }
    Answered(conn, keep, unread);
  });
}

void ConnectionGate::Answered(const std::shared_ptr<Connection>& conn, bool keep,
                              std::uint64_t drain) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_.erase(conn.get());
    if ((keep || drain > 0) && !stopping_) {
      returned_.push_back({conn, keep ? 0 : drain});
      wake = true;
    }
  }
  if (wake) {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t w = write(wakeFd_, &one, sizeof one);
  }
}

void ConnectionGate::TakeBack() {
  std::vector<Returned> back;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    back.swap(returned_);
  }
  for (auto& r : back) {
    Admit(std::move(r.conn), true, r.drain);
  }
}

void ConnectionGate::Refuse(Waiting& w, const char* status) {
  const std::string answer =
      std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  w.conn->WriteAll(answer.data(), answer.size(), 0);
  Close(w.conn->Fd());
}

void ConnectionGate::Close(int fd) {
  epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
  const auto it = waiting_.find(fd);
  if (it != waiting_.end()) {
    bodyBuffered_ -= it->second.counted;
    waiting_.erase(it);
  }
}

void ConnectionGate::Sweep() {
  const auto now = Clock::now();
  if (listenPaused_ && now >= resumeListen_) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = listenFd_;
    epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &ev);
    listenPaused_ = false;
  }
  std::vector<int> late;
  for (auto& [fd, w] : waiting_) {
    if (now >= w.deadline) {
      late.push_back(fd);
    }
  }
  for (int fd : late) {
    Waiting& w = waiting_[fd];
    if ((w.stage == Stage::kHead || w.stage == Stage::kBody) && !w.conn->received.empty()) {
      Refuse(w, "408 Request Timeout");
    } else {
      Close(fd);
    }
  }
}

}  // namespace kestrel::server
