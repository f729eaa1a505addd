// Paces the speed-test payload: one bucket shared by every connection, so the configured rate
// is the server's total, whatever the number of transfers.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace kestrel::server {

class TokenBucket {
 public:
  using Clock = std::chrono::steady_clock;

  // bytesPerSecond 0 lets everything through at once.
  explicit TokenBucket(std::int64_t bytesPerSecond = 0);

  void SetRate(std::int64_t bytesPerSecond);
  std::int64_t Rate() const;

  // Books `bytes` and returns when they may be sent. A bucket idle for a while lets a short
  // burst through (kBurst worth of the rate) and then holds the pace exactly.
  Clock::time_point Reserve(std::size_t bytes, Clock::time_point now);

  static constexpr std::chrono::milliseconds kBurst{20};

 private:
  mutable std::mutex mutex_;
  std::int64_t rate_ = 0;
  Clock::time_point next_{};  // when the bytes booked so far have all gone out
};

}  // namespace kestrel::server
