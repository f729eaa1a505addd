// The result cards drawn from a run's problem lists, and the DNS optimisation behind the network
// card's button.
#include "app/result_cards.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "detect_fakes.h"

namespace kestrelrun {
namespace {

using testing::Harness;
using testing::Lines;
using testing::RecordingView;

TEST(ResultCardsTest, AProblemPageNamesTwoProblemsAndHintsAtMore) {
  struct Case {
    Lines problems;
    Lines expected;
  };
  const std::wstring line = L"tab_item_op_5/0/suggest_iteminfo_";
  const Case cases[] = {
      {{L"a"},
       {L"attr " + line + L"1 show=1", L"attr " + line + L"2 show=0", L"attr " + line + L"3 show=0",
        L"text " + line + L"1 a"}},
      {{L"a", L"b"},
       {L"attr " + line + L"1 show=1", L"attr " + line + L"2 show=1", L"attr " + line + L"3 show=0",
        L"text " + line + L"1 a", L"text " + line + L"2 b"}},
      {{L"a", L"b", L"c", L"d"},
       {L"attr " + line + L"1 show=1", L"attr " + line + L"2 show=1", L"attr " + line + L"3 show=1",
        L"text " + line + L"1 a", L"text " + line + L"2 b"}},
  };
  for (const Case& c : cases) {
    RecordingView view;
    FillProblemPage(view, L"tab_item_op_5", c.problems);
    EXPECT_EQ(view.All(), c.expected);
  }
}

TEST(ResultCardsTest, TheNetworkCardLabelsItsButtonByTheDnsProblems) {
  struct Case {
    Lines dns, network;
    Lines expected;  // the network cards' lines
  };
  const Case cases[] = {
      {{}, {}, {L"card tab_item_op_3 1", L"card tab_item_op_6 1"}},
      {{L"有线网卡DNS可优化"},
       {},
       {L"card tab_item_op_3 2", L"text tab_item_op_3/2/text_item_suggest_3 去优化",
        L"card tab_item_op_6 0", L"text tab_item_op_6/0/suggest_iteminfo_1 有线网卡DNS可优化",
        L"text tab_item_op_6/0/text_item_suggest_3 去优化",
        L"attr tab_item_op_6/0/text_item_suggest_3 pos=27,5"}},
      {{},
       {L"接入设备数量较多"},
       {L"card tab_item_op_3 2", L"text tab_item_op_3/2/text_item_suggest_3 优化方案",
        L"card tab_item_op_6 0", L"text tab_item_op_6/0/suggest_iteminfo_1 接入设备数量较多",
        L"text tab_item_op_6/0/text_item_suggest_3 优化方案",
        L"attr tab_item_op_6/0/text_item_suggest_3 pos=21,5"}},
  };
  for (const Case& c : cases) {
    RecordingView view;
    DetectState state;
    state.progressTarget = 100;
    state.tally.systemProblems = {L"操作系统版本偏低"};
    state.tally.dnsProblems = c.dns;
    state.tally.networkProblems = c.network;
    ASSERT_TRUE(UpdateNetworkCard(state, view, view));
    Lines network;
    for (const std::wstring& l : view.All()) {
      if (l.find(L"tab_item_op_3") != std::wstring::npos ||
          (l.find(L"tab_item_op_6") != std::wstring::npos &&
           l.find(L"show=") == std::wstring::npos)) {
        network.push_back(l);
      }
    }
    EXPECT_EQ(network, c.expected);
    const std::size_t count = 1 + c.dns.size() + c.network.size();
    EXPECT_EQ(view.Starting(L"count "), (Lines{L"count " + std::to_wstring(count)}));
    Lines logged{L"log 操作系统版本偏低"};
    for (const Lines* list : {&c.dns, &c.network}) {
      for (const std::wstring& problem : *list) {
        logged.push_back(L"log " + problem);
      }
    }
    EXPECT_EQ(view.Starting(L"log "), logged);
  }
}

DnsProbeResult Resolver(const char* address, int average, int lost) {
  return DnsProbeResult{address, 0, 0, average, lost};
}

// A run whose wired and wireless adapters both have a faster test resolver, and a slow line.
void PrepareDnsRun(Harness& h) {
  h.probes->dns.wiredEntries = {
      DnsTestEntry{"eth",
                   "",
                   {Resolver("9.9.9.9", 30, 0), Resolver("1.1.1.1", 20, 0)},
                   {Resolver("10.0.0.1", 80, 0), Resolver("10.0.0.2", 90, 0)}}};
  h.probes->dns.wirelessEntries = {
      DnsTestEntry{"wlan", "", {Resolver("8.8.8.8", 10, 0)}, {Resolver("10.0.0.1", 80, 1)}}};
  h.probes->speed.downloadSpeedScore = 54;
  h.RunAll();
}

TEST(ResultCardsTest, TheDnsOptimisationChangesTheWiredAdapterOnceOffTheUiThread) {
  Harness h;
  PrepareDnsRun(h);
  EXPECT_EQ(h.view.Starting(L"count "), (Lines{L"count 3"}));
  h.probes->blockStep = -1;  // netsh takes its time
  h.view.Clear();
  h.sequence->OnNetworkSuggestion();
  h.probes->gate.AwaitWaiter();
  h.sequence->RefreshTick();  // the UI goes on meanwhile
  EXPECT_TRUE(h.view.Starting(L"dns progress").empty());
  h.probes->gate.Open();
  ASSERT_TRUE(h.PumpUntil([&] { return !h.view.Starting(L"count ").empty(); }));

  ASSERT_EQ(h.probes->dnsRequests.size(), 1u);
  EXPECT_EQ(h.probes->dnsRequests[0].adapterName, "eth");
  EXPECT_EQ(h.probes->dnsRequests[0].dnsAddresses,
            (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "1.1.1.1"}));
  EXPECT_NE(h.probes->DnsThread(), std::this_thread::get_id());
  const std::vector<std::string> calls = h.probes->Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
            (std::vector<std::string>{"SetNetworkCardDNS", "UploadDNSJsonData"}));
  Lines order;
  for (const std::wstring& l : h.view.All()) {
    if (l == L"dns progress" || l.find(L"score ") == 0 || l.find(L"card tab_item_op_3") == 0) {
      order.push_back(l);
    }
  }
  EXPECT_EQ(order, (Lines{L"dns progress", L"score 394", L"card tab_item_op_3 2"}));
  EXPECT_EQ(h.view.Starting(L"text tab_item_op_6/0/"),
            (Lines{L"text tab_item_op_6/0/suggest_iteminfo_1 不符合网课带宽最低要求",
                   L"text tab_item_op_6/0/text_item_suggest_3 优化方案"}));
  EXPECT_EQ(h.view.Starting(L"count "), (Lines{L"count 1"}));
  EXPECT_TRUE(h.sequence->State().tally.dnsProblems.empty());

  // The second press opens the report page.
  h.sequence->OnNetworkSuggestion();
  EXPECT_EQ(h.view.All().back(), L"open https://reports/reportDetail/7031");
  EXPECT_EQ(h.probes->dnsRequests.size(), 1u);
}

// While netsh runs the card still offers the change: a second press does nothing, and a run
// cleared meanwhile (the back button) gets no progress box over the start page.
TEST(ResultCardsTest, WhileTheDnsChangeRunsAPressWaitsAndAClearedRunGetsNoBox) {
  Harness h;
  PrepareDnsRun(h);
  h.probes->blockStep = -1;
  h.view.Clear();
  h.sequence->OnNetworkSuggestion();
  h.probes->gate.AwaitWaiter();
  h.sequence->OnNetworkSuggestion();
  EXPECT_TRUE(h.view.Starting(L"open ").empty());
  h.sequence->Reset();
  h.probes->gate.Open();
  ASSERT_TRUE(h.sequence->AwaitDnsChange(std::chrono::seconds(10)));
  h.sequence->RunUiTasks();
  h.sequence->RefreshTick();
  EXPECT_TRUE(h.view.Starting(L"dns progress").empty());
  EXPECT_TRUE(h.view.Starting(L"score ").empty());
  EXPECT_EQ(h.probes->dnsRequests.size(), 1u);
}

// The window's end waits for a change under way, up to its bound, so that the process does not
// end between netsh commands; NetProbe is idle once it has.
TEST(ResultCardsTest, TheExitWaitsForADnsChangeUnderWay) {
  Harness h;
  PrepareDnsRun(h);
  h.probes->blockStep = -1;
  h.sequence->OnNetworkSuggestion();
  h.probes->gate.AwaitWaiter();
  h.sequence->Close();
  EXPECT_FALSE(h.sequence->AwaitDnsChange(std::chrono::milliseconds(20)));
  EXPECT_FALSE(h.sequence->ProbesIdle());
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    h.probes->gate.Open();
  });
  EXPECT_TRUE(h.sequence->AwaitDnsChange(std::chrono::seconds(10)));
  opener.join();
  EXPECT_TRUE(h.sequence->ProbesIdle());
  EXPECT_EQ(h.probes->Calls().back(), "UploadDNSJsonData");
}

TEST(ResultCardsTest, AFailedDnsChangeIsSilentAndStillClearsTheDnsProblems) {
  Harness h;
  PrepareDnsRun(h);
  h.probes->dnsChangeResult = 0;
  h.view.Clear();
  h.sequence->OnNetworkSuggestion();
  ASSERT_TRUE(h.PumpUntil([&] { return !h.view.Starting(L"count ").empty(); }));
  EXPECT_EQ(h.probes->Calls().back(), "SetNetworkCardDNS");
  EXPECT_EQ(h.view.Starting(L"score "), (Lines{L"score 394"}));
  EXPECT_TRUE(h.view.Starting(L"message").empty());
}

}  // namespace
}  // namespace kestrelrun
