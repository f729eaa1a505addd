#include "server_harness.h"

#include <gtest/gtest.h>

#include "postgres_fixture.h"

namespace kestrel::server::test {

ServerOptions RunningServer::TestOptions() {
  ServerOptions o;
  o.httpPort = 0;
  o.testControl = true;
  o.stallSeconds = 1;
  o.payloadBytes = 1024 * 1024;
  o.threads = 8;
  return o;
}

RunningServer::RunningServer(ServerOptions options) : server_(options) {
  std::string error;
  if (!server_.Start(error)) {
    ADD_FAILURE() << error;
  }
  http_ = std::make_unique<httplib::Client>("127.0.0.1", server_.HttpPort());
  http_->set_read_timeout(5, 0);
}

RunningServer::~RunningServer() {
  server_.Stop();
}

int RunningServer::Set(const std::string& query) {
  auto res = http_->Post(("/_test/set?" + query).c_str());
  return res ? res->status : -1;
}

std::string StoreTest::FreshStore() {
  if (GetParam() == StoreKind::kSqlite) {
    return ":memory:";
  }
  std::string error;
  PostgresServer* pg = PostgresServer::Shared(error);
  std::string uri = pg ? pg->NewDatabase(error) : "";
  EXPECT_FALSE(uri.empty()) << error;
  return uri;
}

ServerOptions StoreTest::StoreOptions(ServerOptions options) {
  options.dbFile = FreshStore();
  return options;
}

std::string StoreName(const testing::TestParamInfo<StoreKind>& info) {
  return info.param == StoreKind::kSqlite ? "Sqlite" : "Postgres";
}

}  // namespace kestrel::server::test
