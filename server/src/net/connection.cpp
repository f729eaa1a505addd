#include "connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "address_slots.h"

namespace kestrel::server {

Connection::Connection(int fd, SSL* ssl, std::string peer, int peerPort, AddressSlots& slots)
    : fd_(fd), ssl_(ssl), peer_(std::move(peer)), peerPort_(peerPort), slots_(slots) {}

Connection::~Connection() {
  if (ssl_) {
    if (!failed_ && SSL_is_init_finished(ssl_)) {
      SSL_shutdown(ssl_);  // one try: the socket does not wait for the peer's answer
    }
    SSL_free(ssl_);
  }
  close(fd_);
  slots_.Give(peer_);
}

bool Connection::Wait(short events, int ms) const {
  pollfd p{fd_, events, 0};
  int r = 0;
  do {
    r = poll(&p, 1, ms < 0 ? 0 : ms);
  } while (r < 0 && errno == EINTR);
  return r > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
}

bool Connection::WaitWritable(int ms) const {
  return Wait(POLLOUT, ms);
}

Connection::Io Connection::Handshake() {
  if (!ssl_) {
    return Io::kDone;
  }
  const int r = SSL_accept(ssl_);
  if (r == 1) {
    return Io::kDone;
  }
  switch (SSL_get_error(ssl_, r)) {
    case SSL_ERROR_WANT_READ:
      return Io::kWantRead;
    case SSL_ERROR_WANT_WRITE:
      return Io::kWantWrite;
    default:
      failed_ = true;
      return Io::kClosed;
  }
}

Connection::Io Connection::ReadAvailable(std::size_t limit) {
  char chunk[16 * 1024];
  while (received.size() < limit) {
    const std::size_t want = std::min(sizeof chunk, limit - received.size());
    if (ssl_) {
      const int r = SSL_read(ssl_, chunk, static_cast<int>(want));
      if (r > 0) {
        received.append(chunk, static_cast<std::size_t>(r));
        continue;
      }
      const int e = SSL_get_error(ssl_, r);
      if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
        return Io::kWantRead;
      }
      failed_ = e != SSL_ERROR_ZERO_RETURN;
      return Io::kClosed;
    }
    const ssize_t r = recv(fd_, chunk, want, 0);
    if (r > 0) {
      received.append(chunk, static_cast<std::size_t>(r));
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return Io::kWantRead;
    } else {
      return Io::kClosed;
    }
  }
  return Io::kDone;
}

Connection::Io Connection::Discard(std::uint64_t limit, std::uint64_t& count) {
  char chunk[16 * 1024];
  while (count < limit) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, limit - count));
    long r = 0;
    if (ssl_) {
      r = SSL_read(ssl_, chunk, static_cast<int>(want));
      if (r <= 0) {
        const int e = SSL_get_error(ssl_, static_cast<int>(r));
        return e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE ? Io::kWantRead : Io::kClosed;
      }
    } else {
      r = recv(fd_, chunk, want, 0);
      if (r < 0 && errno == EINTR) {
        continue;
      }
      if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return Io::kWantRead;
      }
      if (r <= 0) {
        return Io::kClosed;
      }
    }
    count += static_cast<std::uint64_t>(r);
  }
  return Io::kDone;
}

void Connection::EndSending() {
  if (!ssl_) {
    shutdown(fd_, SHUT_WR);
  }
}

bool Connection::WriteAll(const char* data, std::size_t size, int stallMs) {
  while (size > 0) {
    short waitFor = POLLOUT;
    long wrote = 0;
    if (ssl_) {
      const int r = SSL_write(ssl_, data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
      if (r > 0) {
        wrote = r;
      } else {
        const int e = SSL_get_error(ssl_, r);
        if (e == SSL_ERROR_WANT_READ) {
          waitFor = POLLIN;
        } else if (e != SSL_ERROR_WANT_WRITE) {
          failed_ = true;
          return false;
        }
      }
    } else {
      const ssize_t r = send(fd_, data, size, MSG_NOSIGNAL);
      if (r > 0) {
        wrote = static_cast<long>(r);
      } else if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        return false;
      }
    }
    if (wrote > 0) {
      data += wrote;
      size -= static_cast<std::size_t>(wrote);
    } else if (!Wait(waitFor, stallMs)) {
      failed_ = true;
      return false;
    }
  }
  return true;
}

void Connection::Abort() {
  failed_ = true;
  shutdown(fd_, SHUT_RDWR);
}

}  // namespace kestrel::server
