// The detection controller with fake probes and a recording view: a whole run, every way a step
// can end, the device steps' messages, the refresh and flash ticks.
#include "app/detect_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect_fakes.h"

namespace kestrelrun {
namespace {

using testing::Harness;
using testing::Lines;

TEST(DetectSequenceTest, AFineMachineRunsThirteenStepsToTheResultsPage) {
  Harness h;
  h.RunAll();
  EXPECT_EQ(
      h.probes->Calls(),
      (std::vector<std::string>{"GetHostInfomation", "GetSystemVersionInfo", "GetCPUInfo",
                                "GetMemoryInfo", "GetHardDiskInfo", "GetLanAndWlanNetworkCardInfo",
                                "GetDNSTestnfo", "GetHostToRouterDelayInfo", "GetNumberLanDevices",
                                "GetNetworkDownloadSpeed", "UploadJsonData"}));
  Lines statuses;
  for (const DetectStep& step : kDetectSteps) {
    statuses.push_back(std::wstring(L"status ") + step.status);
  }
  statuses.insert(statuses.begin() + 12, std::wstring(L"status ") + kReportPendingStatus);
  statuses.push_back(L"status ");
  EXPECT_EQ(h.view.Starting(L"status "), statuses);
  // Pages and cards in the order the user sees them.
  EXPECT_EQ(h.view.Starting(L"card tab_item_op_"),
            (Lines{L"card tab_item_op_1 0", L"card tab_item_op_2 3", L"card tab_item_op_3 3",
                   L"card tab_item_op_1 1", L"card tab_item_op_4 1", L"card tab_item_op_2 0",
                   L"card tab_item_op_2 1", L"card tab_item_op_5 1", L"card tab_item_op_3 0",
                   L"card tab_item_op_3 1", L"card tab_item_op_6 1"}));
  EXPECT_EQ(h.view.Starting(L"main "), (Lines{L"main 1", L"main 2"}));
  EXPECT_EQ(h.view.Starting(L"score "), (Lines{L"score 350"}));
  EXPECT_EQ(h.view.Starting(L"count "), (Lines{L"count 0"}));
  EXPECT_TRUE(h.view.Starting(L"log ").empty());
  const DetectState state = h.sequence->State();
  EXPECT_FALSE(state.running);
  EXPECT_TRUE(state.flashActive);
  EXPECT_EQ(state.stepIndex, 0);
  EXPECT_EQ(state.progressTarget, 100);
  EXPECT_EQ(state.reportNumber, L"7031");
  h.sequence->OpenReportPage();
  EXPECT_EQ(h.view.All().back(), L"open https://reports/reportDetail/7031");
  EXPECT_TRUE(h.view.OnOneThread());
  EXPECT_TRUE(h.view.StartsOnTheWorker());
}

// The last step's change ends the run with the network card. Drawn by the step's request before
// the refresh tick had shown the score (under load), it left the results page without its score.
TEST(DetectSequenceTest, TheScoreShowsWhenTheLastStepsRequestComesBeforeTheTick) {
  Harness h;
  h.RunAll(/*requestFirst=*/true);
  EXPECT_EQ(h.view.Starting(L"score "), (Lines{L"score 350"}));
  EXPECT_EQ(h.view.Starting(L"main "), (Lines{L"main 1", L"main 2"}));
  EXPECT_FALSE(h.sequence->State().running);
}

TEST(DetectSequenceTest, AFailedStepStopsTheRunWithItsPage) {
  struct Case {
    int step;
    int code;
    Lines messages;
    const wchar_t* page;  // what the next refresh tick shows
  };
  const Case cases[] = {
      {3, 5, {L"message 主机类型信息获取失败!"}, L"main 0"},
      {7, netprobe::kNoNetwork, {}, L"main 4"},
      {9, 2, {L"message DNS检测失败!"}, L"main 0"},
      {12, netprobe::kNoNetwork, {}, L"main 4"},
      {13, 3, {L"message 数据上传失败!"}, L"main 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    Harness h;
    h.probes->failStep = c.step;
    h.probes->failCode = c.code;
    int requestDuringBox = -1;
    h.view.duringMessage = [&] { requestDuringBox = h.sequence->State().pageRequest; };
    h.sequence->Start();
    for (int i = 0; i < c.step; ++i) {
      h.StepOnce();
    }
    EXPECT_EQ(h.view.Starting(L"message "), c.messages);
    EXPECT_EQ(requestDuringBox, c.messages.empty() ? -1 : c.code);
    EXPECT_EQ(h.view.Starting(L"main ").back(), c.page);
    const DetectState state = h.sequence->State();
    EXPECT_FALSE(state.running);
    EXPECT_EQ(state.pageRequest, 0);
    // A reset clears the step; the no-network page keeps it for the retry button.
    EXPECT_EQ(state.stepIndex, c.code == netprobe::kNoNetwork ? c.step : 0);
    const std::size_t calls = h.probes->Calls().size();
    h.StepOnce();
    EXPECT_EQ(h.probes->Calls().size(), calls);
  }
}

TEST(DetectSequenceTest, DeviceStepsAskThePopupsAndTakeTheirVerdicts) {
  struct Case {
    int microphones, speakers, cameraIndex, micVerdict, cameraVerdict;
    Lines popupEvents;
    Lines hardwareProblems;
  };
  const Case cases[] = {
      {1,
       2,
       0,
       1,
       1,
       {L"verdict -1", L"audio popup", L"init state -1", L"microphone test", L"load cameras",
        L"camera popup"},
       {}},
      {0,
       1,
       0,
       2,
       1,
       {L"verdict -1", L"audio popup", L"message 未检测到麦克风！", L"init state 1",
        L"no device state", L"load cameras", L"camera popup"},
       {L"麦克风问题待解决"}},
      {1,
       0,
       -1,
       0,
       2,
       {L"verdict -1", L"audio popup", L"message 未检测到扬声器！", L"init state 1",
        L"no device state", L"load cameras", L"camera popup", L"message 未检测到摄像头！"},
       {L"摄像头问题待解决"}},
      {0,
       0,
       0,
       2,
       2,
       {L"verdict -1", L"audio popup", L"message 未检测到麦克风和扬声器！", L"init state 1",
        L"no device state", L"load cameras", L"camera popup"},
       {L"麦克风问题待解决", L"摄像头问题待解决"}},
  };
  for (const Case& c : cases) {
    Harness h;
    h.view.microphones = c.microphones;
    h.view.speakers = c.speakers;
    h.view.cameraIndex = c.cameraIndex;
    h.view.micVerdict = c.micVerdict;
    h.view.cameraVerdict = c.cameraVerdict;
    h.sequence->Start();
    h.StepOnce();
    h.StepOnce();
    Lines events;
    for (const std::wstring& line : h.view.All()) {
      if (line.find(L"popup") != std::wstring::npos || line.find(L"verdict") == 0 ||
          line.find(L"message") == 0 || line.find(L"state") != std::wstring::npos ||
          line.find(L"test") != std::wstring::npos || line.find(L"cameras") != std::wstring::npos) {
        events.push_back(line);
      }
    }
    EXPECT_EQ(events, c.popupEvents);
    const DetectState state = h.sequence->State();
    EXPECT_EQ(state.tally.hardwareProblems, c.hardwareProblems);
    EXPECT_EQ(state.stepIndex, 3);
    EXPECT_EQ(state.progressTarget, 16);
  }
}

TEST(DetectSequenceTest, StartNeedsANetworkAndIgnoresASecondPress) {
  Harness h;
  h.sequence->SetNetworkUp(false);
  h.sequence->Start();
  EXPECT_FALSE(h.sequence->State().running);
  h.sequence->SetNetworkUp(true);
  h.sequence->Start();
  h.StepOnce();
  h.sequence->Start();
  EXPECT_EQ(h.view.Starting(L"main "), (Lines{L"main 4", L"main 1"}));
  EXPECT_EQ(h.sequence->State().stepIndex, 2);
}

TEST(DetectSequenceTest, RefreshTicksMoveTheBarOncePerProgressUnit) {
  Harness h;
  h.sequence->Start();
  h.StepOnce();  // progress 8, one tick
  for (int i = 0; i < 10; ++i) {
    h.sequence->RefreshTick();
  }
  EXPECT_EQ(h.view.Starting(L"bar ").size(), 8u);
  EXPECT_EQ(h.sequence->State().scoreTicks, 8);
  h.sequence->Reset();
  const Lines all = h.view.All();
  EXPECT_EQ(Lines(all.end() - 4, all.end()),
            (Lines{L"bar 0", L"status ", L"icon img_item_os _skin.item.icon.7",
                   L"icon img_item_device _skin.item.icon.8"}));
  EXPECT_EQ(h.sequence->State().progressTicks, 0);
}

TEST(DetectSequenceTest, FlashTicksBlinkAMinimisedWindowNineTimes) {
  for (const bool minimised : {true, false}) {
    Harness h;
    h.view.minimised = minimised;
    h.RunAll();
    h.view.Clear();
    for (int i = 0; i < 12; ++i) {
      h.sequence->FlashTick();
    }
    Lines expected;
    for (int tick = 1; tick < 10; ++tick) {
      expected.push_back(minimised && tick % 2 == 0 ? L"taskbar 8 100/100" : L"taskbar 8 0/100");
    }
    EXPECT_EQ(h.view.All(), expected);
    EXPECT_FALSE(h.sequence->State().flashActive);
  }
}

}  // namespace
}  // namespace kestrelrun
