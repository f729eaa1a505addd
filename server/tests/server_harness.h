// An in-process server on free loopback ports with test control on, and a client for it.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <string>

#include "kestrel_server.h"

namespace kestrel::server::test {

class RunningServer {
 public:
  explicit RunningServer(ServerOptions options = TestOptions());
  ~RunningServer();

  httplib::Client& Http() { return *http_; }
  KestrelServer& Server() { return server_; }
  // POST /_test/set?<query>; returns the HTTP status.
  int Set(const std::string& query);

  static ServerOptions TestOptions();

 private:
  KestrelServer server_;
  std::unique_ptr<httplib::Client> http_;
};

// The two stores a server may keep its data in: route and store tests run against each.
enum class StoreKind { kSqlite, kPostgres };

// A test run once per store: StoreOptions() gives a server on a fresh, empty store of that kind.
class StoreTest : public testing::TestWithParam<StoreKind> {
 protected:
  ServerOptions StoreOptions(ServerOptions options = RunningServer::TestOptions());
  // The address of a fresh store of the test's kind (":memory:" for SQLite).
  std::string FreshStore();
};

std::string StoreName(const testing::TestParamInfo<StoreKind>& info);

#define KESTREL_BOTH_STORES(suite)        \
  INSTANTIATE_TEST_SUITE_P(Stores, suite, \
                           testing::Values(StoreKind::kSqlite, StoreKind::kPostgres), StoreName)

}  // namespace kestrel::server::test
