// The refusal every export that needs the network gives on a machine without one, for the tests
// of the exports natively and of the real DLL. Header-only: the DLL's tests link no test library.
#pragma once

#include <gtest/gtest.h>

#include "NetProbe.h"

namespace kestrel::test {

// The message of that refusal (GBK, as every narrow literal of these tests).
constexpr const char kNoNetworkMessage[] = "您当前未连接网络，请连接网络";

// Calls an export such as GetCPUInfo on an offline machine: it fails with code 100 and hands out
// no record.
template <typename Record>
void ExpectRefusedOffline(int (*getRecord)(const Record**, ProbeError*)) {
  const Record* record = nullptr;
  ProbeError error;
  EXPECT_EQ(getRecord(&record, &error), 0);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(error.code, netprobe::kNoNetwork);
  EXPECT_EQ(error.message, kNoNetworkMessage);
}

}  // namespace kestrel::test
