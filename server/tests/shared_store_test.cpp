// Several instances on one PostgreSQL database: a report posted to one is read from the other,
// numbers stay unique under load, and a database that goes away during load gives clean 503s,
// no crash, and recovery, with every report answered 200 kept exactly once.
#include <gtest/gtest.h>
#include <json/json.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "postgres_fixture.h"
#include "server_harness.h"
#include "store/report_table.h"

namespace kestrel::server::test {
namespace {

constexpr const char* kJson = "application/json;charset=UTF-8";

// The sample report with a marker of its own in the serial number.
std::string Report(const std::string& marker) {
  static const std::string sample = [] {
    std::ifstream in(KESTREL_TESTDATA_DIR "/reports/full_report.json", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  Json::Value doc;
  Json::Reader().parse(sample, doc);
  doc["SerialNumber"] = marker;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  return Json::writeString(w, doc);
}

std::string Number(const httplib::Result& res) {
  Json::Value v;
  return res && res->status == 200 && Json::Reader().parse(res->body, v) ? v["data"].asString()
                                                                         : "";
}

class SharedStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    pg_ = PostgresServer::Shared(error);
    ASSERT_TRUE(pg_) << error;
    uri_ = pg_->NewDatabase(error);
    ASSERT_FALSE(uri_.empty()) << error;
  }
  ServerOptions Options() const {
    ServerOptions o = RunningServer::TestOptions();
    o.dbFile = uri_;
    o.dbConnections = 4;
    return o;
  }
  std::vector<Row> Rows(const std::string& sql) {
    std::string error;
    auto db = Database::Open(uri_, error);
    std::vector<Row> rows;
    EXPECT_TRUE(db && db->Run(sql, {}, &rows, error) >= 0) << error;
    return rows;
  }

  PostgresServer* pg_ = nullptr;
  std::string uri_;
};

TEST_F(SharedStoreTest, TwoInstancesServeTheSameReportsAndNeverShareANumber) {
  RunningServer a(Options());
  RunningServer b(Options());
  const std::string doc = Report("from-a");
  const std::string number = Number(a.Http().Post("/report", doc, kJson));
  ASSERT_FALSE(number.empty());
  auto read = b.Http().Get("/_test/report/" + number);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->body, doc);
  EXPECT_EQ(
      b.Http().Put("/report", "{\"number\":\"" + number + "\",\"optimize\":1}", kJson)->status,
      200);
  EXPECT_EQ(a.Http().Get("/_test/report/" + number)->get_header_value("X-Kestrel-Optimize"), "1");
  EXPECT_EQ(a.Http().Get("/reportDetail/" + number)->status, 200);

  constexpr int kClients = 8, kEach = 40;
  std::mutex mutex;
  std::multiset<std::string> numbers;
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client http("127.0.0.1", (c % 2 ? a : b).Server().HttpPort());
      for (int i = 0; i < kEach; ++i) {
        const std::string n = Number(http.Post("/report", Report("load"), kJson));
        EXPECT_FALSE(n.empty());
        std::lock_guard<std::mutex> lock(mutex);
        numbers.insert(n);
      }
    });
  }
  for (auto& t : clients) {
    t.join();
  }
  EXPECT_EQ(numbers.size(), std::size_t{kClients * kEach});
  EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), numbers.size());
  EXPECT_EQ(Rows("SELECT COUNT(*) FROM reports")[0][0], std::to_string(kClients * kEach + 1));
}

TEST_F(SharedStoreTest, ADatabaseThatGoesAwayGives503AndTheServerRecovers) {
  RunningServer s(Options());
  std::atomic<bool> done{false};
  std::atomic<int> unavailable{0}, other{0};
  std::mutex mutex;
  std::map<std::string, std::string> answered;  // marker -> number, for every 200
  std::vector<std::thread> clients;
  for (int c = 0; c < 4; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client http("127.0.0.1", s.Server().HttpPort());
      http.set_read_timeout(15, 0);
      for (int i = 0; !done; ++i) {
        const std::string marker = "m" + std::to_string(c) + "-" + std::to_string(i);
        auto res = http.Post("/report", Report(marker), kJson);
        if (res && res->status == 200) {
          std::lock_guard<std::mutex> lock(mutex);
          answered[marker] = Number(res);
        } else if (res && res->status == 503) {
          ++unavailable;
          EXPECT_NE(res->body.find("\"code\":201"), std::string::npos);
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else {
          ++other;
        }
      }
    });
  }
  const auto count = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return answered.size();
  };
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::size_t before = count();
  ASSERT_TRUE(pg_->Stop());
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  // Pages and the DNS state meanwhile: 503, not a wrong 404.
  EXPECT_EQ(s.Http().Get("/reportDetail/123456789012")->status, 503);
  EXPECT_EQ(s.Http().Put("/report", "{\"number\":\"123456789012\",\"optimize\":1}", kJson)->status,
            503);
  const std::size_t during = count();
  ASSERT_TRUE(pg_->Start());
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (count() < during + 20 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  done = true;
  for (auto& t : clients) {
    t.join();
  }
  EXPECT_GT(before, 0u);
  EXPECT_GT(unavailable.load(), 0);
  EXPECT_EQ(other.load(), 0);
  EXPECT_GE(count(), during + 20) << "no recovery";
  // Every report answered 200 is there once, under its number; nothing is there twice.
  std::map<std::string, std::vector<std::string>> stored;
  for (const Row& row : Rows("SELECT serial, number FROM reports")) {
    stored[row[0]].push_back(row[1]);
  }
  for (const auto& [marker, number] : answered) {
    ASSERT_EQ(stored[marker].size(), 1u) << marker;
    EXPECT_EQ(stored[marker][0], number) << marker;
  }
  for (const auto& [marker, numbers] : stored) {
    EXPECT_EQ(numbers.size(), 1u) << marker;
  }
}

}  // namespace
}  // namespace kestrel::server::test
