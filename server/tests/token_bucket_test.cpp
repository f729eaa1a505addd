#include "core/token_bucket.h"

#include <gtest/gtest.h>

namespace kestrel::server {
namespace {

using namespace std::chrono_literals;
using Clock = TokenBucket::Clock;

TEST(TokenBucketTest, UnlimitedLetsEverythingThrough) {
  TokenBucket bucket(0);
  const auto now = Clock::now();
  EXPECT_EQ(bucket.Reserve(1 << 30, now), now);
}

TEST(TokenBucketTest, SustainedTransferKeepsTheRateAfterOneBurst) {
  TokenBucket bucket(1000000);  // 1 MB/s: 1 byte per microsecond
  const auto start = Clock::now();
  auto when = start;
  for (int i = 0; i < 100; ++i) {
    when = bucket.Reserve(10000, when);  // the sender waits for each booking, then books again
  }
  // 1 MB takes one second, less the idle bucket's initial burst.
  EXPECT_EQ(when - start, 1s - TokenBucket::kBurst);
}

TEST(TokenBucketTest, ConnectionsShareTheRate) {
  TokenBucket bucket(1000000);
  const auto start = Clock::now();
  auto a = start;
  auto b = start;
  for (int i = 0; i < 50; ++i) {
    a = bucket.Reserve(10000, a);
    b = bucket.Reserve(10000, b);
  }
  EXPECT_EQ(std::max(a, b) - start, 1s - TokenBucket::kBurst);
}

TEST(TokenBucketTest, IdleTimeIsNotSavedUpBeyondTheBurst) {
  TokenBucket bucket(1000000);
  const auto start = Clock::now();
  bucket.Reserve(1000, start);
  const auto later = start + 10s;
  EXPECT_EQ(bucket.Reserve(20000, later), later);  // within the burst
  EXPECT_EQ(bucket.Reserve(20000, later), later + 20ms);
}

TEST(TokenBucketTest, ChangingTheRateStartsAFreshSchedule) {
  TokenBucket bucket(1000);
  const auto start = Clock::now();
  bucket.Reserve(1000000, start);  // books 1000 s ahead
  bucket.SetRate(1000000);
  EXPECT_EQ(bucket.Reserve(10000, start), start);
  EXPECT_EQ(bucket.Rate(), 1000000);
}

}  // namespace
}  // namespace kestrel::server
