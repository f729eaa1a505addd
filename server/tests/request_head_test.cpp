#include "net/request_head.h"

#include <gtest/gtest.h>

#include "net/address_slots.h"

namespace kestrel::server {
namespace {

using Status = RequestHead::Status;

TEST(RequestHeadTest, HeadsAreFramedAndHostileOnesRefused) {
  const struct {
    std::string received;
    Status status;
    std::size_t headBytes;
    std::uint64_t bodyBytes;
    bool expects;
  } cases[] = {
      {"", Status::kIncomplete, 0, 0, false},
      {"GET / HTTP/1.1\r\nHost: x\r\n", Status::kIncomplete, 0, 0, false},
      {"GET / HTTP/1.1\r\nHost: x\r\n\n", Status::kIncomplete, 0, 0, false},
      {"GET / HTTP/1.1\r\n\r\n", Status::kComplete, 18, 0, false},
      {"GET / HTTP/1.1\r\nHost: x\r\n\r\nGET /b", Status::kComplete, 27, 0, false},
      {"POST / HTTP/1.1\r\nContent-Length: 12\r\n\r\n{", Status::kComplete, 39, 12, false},
      {"POST / HTTP/1.1\r\ncontent-length:\t7 \r\n\r\n", Status::kComplete, 39, 7, false},
      {"POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\n", Status::kComplete, 57,
       5, false},
      {"POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", Status::kBadLength, 0,
       0, false},
      {"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", Status::kBadLength, 0, 0, false},
      {"POST / HTTP/1.1\r\nContent-Length: 5, 5\r\n\r\n", Status::kBadLength, 0, 0, false},
      {"POST / HTTP/1.1\r\nContent-Length: \r\n\r\n", Status::kBadLength, 0, 0, false},
      {"POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", Status::kBadLength, 0, 0,
       false},
      {"POST / HTTP/1.1\r\nContent-Length: 0x10\r\n\r\n", Status::kBadLength, 0, 0, false},
      {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\nContent-Length: 3\r\n\r\n",
       Status::kChunked, 0, 0, false},
      {"POST / HTTP/1.1\r\nX-Content-Length: 3\r\n\r\n", Status::kComplete, 40, 0, false},
      {"POST / HTTP/1.1\r\nExpect: 100-Continue\r\nContent-Length: 2\r\n\r\n", Status::kComplete,
       60, 2, true},
      {"POST / HTTP/1.1\r\nExpect: 100-continuex\r\n\r\n", Status::kComplete, 42, 0, false},
      {"POST / HTTP/1.1\r\nCONTENT-LENGTH: 4\r\n\r\n", Status::kComplete, 38, 4, false},
      {"POST / HTTP/1.1\r\nContent-Length : 4\r\n\r\n", Status::kComplete, 39, 0, false},
      {"POST / HTTP/1.1\r\nEXPECT: 100-CONTINUE\r\n\r\n", Status::kComplete, 41, 0, true},
      {"GET /" + std::string(100, 'a'), Status::kTooLarge, 0, 0, false},
      {"GET / HTTP/1.1\r\nX: " + std::string(90, 'a') + "\r\n\r\n", Status::kTooLarge, 0, 0, false},
  };
  for (const auto& c : cases) {
    const RequestHead h = ScanRequestHead(c.received, 100);
    EXPECT_EQ(h.status, c.status) << c.received;
    if (c.status == Status::kComplete) {
      EXPECT_EQ(h.headBytes, c.headBytes) << c.received;
      EXPECT_EQ(h.bodyBytes, c.bodyBytes) << c.received;
      EXPECT_EQ(h.expectsContinue, c.expects) << c.received;
    }
  }
}

TEST(RequestHeadTest, TheExpectLineAloneIsTakenOut) {
  EXPECT_EQ(HeadWithoutExpect("POST / HTTP/1.1\r\nexpect: 100-continue\r\nHost: x\r\n"
                              "X-Expect: 1\r\n\r\n"),
            "POST / HTTP/1.1\r\nHost: x\r\nX-Expect: 1\r\n\r\n");
}

TEST(AddressSlotsTest, EachAddressAndTheWholeAreCapped) {
  AddressSlots slots(5, 2);
  const struct {
    bool take;  // false: give back
    const char* address;
    bool granted;
  } steps[] = {
      {true, "a", true},  {true, "a", true},  {true, "a", false}, {true, "b", true},
      {false, "a", true}, {true, "a", true},  {true, "b", true},  {true, "c", true},
      {true, "d", false}, {false, "z", true}, {false, "c", true}, {true, "d", true},
  };
  for (const auto& s : steps) {
    if (s.take) {
      EXPECT_EQ(slots.Take(s.address), s.granted) << s.address;
    } else {
      slots.Give(s.address);
    }
  }
  EXPECT_EQ(slots.InUse(), 5u);  // a giving back of an address never counted changes nothing
  EXPECT_EQ(slots.InUse("a"), 2u);
  EXPECT_EQ(slots.InUse("c"), 0u);
}

}  // namespace
}  // namespace kestrel::server
