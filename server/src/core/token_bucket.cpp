#include "core/token_bucket.h"

#include <algorithm>

namespace kestrel::server {

TokenBucket::TokenBucket(std::int64_t bytesPerSecond) : rate_(bytesPerSecond) {}

void TokenBucket::SetRate(std::int64_t bytesPerSecond) {
  std::lock_guard<std::mutex> lock(mutex_);
  rate_ = bytesPerSecond < 0 ? 0 : bytesPerSecond;
  next_ = Clock::time_point{};
}

std::int64_t TokenBucket::Rate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rate_;
}

TokenBucket::Clock::time_point TokenBucket::Reserve(std::size_t bytes, Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (rate_ <= 0) {
    return now;
  }
  // Nanoseconds for the bytes at this rate, computed in double to stay clear of overflow.
  const auto cost = std::chrono::nanoseconds(
      static_cast<std::int64_t>(static_cast<double>(bytes) * 1e9 / static_cast<double>(rate_)));
  next_ = std::max(next_, now) + std::chrono::duration_cast<Clock::duration>(cost);
  return std::max(now, next_ - kBurst);
}

}  // namespace kestrel::server
