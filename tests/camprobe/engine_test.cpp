// CamProbe's engine and exports over a fake camera system: list shaping, the order of the
// preview calls, the failure codes, and the exports after release.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "CamProbe.h"
#include "dll/camera_engine.h"
#include "dll/engine_instance.h"

namespace camprobe {
namespace {

struct FakeSystem : ICameraSystem {
  std::vector<CameraDevice> devices;
  bool listFails = false;
  StartResult startResult = StartResult::kRunning;
  std::vector<std::wstring>* started = nullptr;  // paths, in order
  std::atomic<int>* running = nullptr;           // previews started and not stopped
  int* lists = nullptr;

  bool ListDevices(std::vector<CameraDevice>* out) override {
    if (lists != nullptr) {
      ++*lists;
    }
    if (listFails) {
      return false;
    }
    *out = devices;
    return true;
  }
  StartResult StartPreview(const std::wstring& path, void*, CameraRect) override {
    EXPECT_EQ(running->load(), 0) << "a preview started while another ran";
    if (startResult == StartResult::kRunning) {
      started->push_back(path);
      ++*running;
    }
    return startResult;
  }
  void StopPreview() override { --*running; }
};

class EngineTest : public ::testing::Test {
 protected:
  std::vector<std::wstring> started;
  std::atomic<int> running{0};
  int lists = 0;
  CameraRect rect{0, 0, 513, 195};
  int window = 0;  // any address stands for a window

  std::unique_ptr<FakeSystem> System(std::vector<CameraDevice> devices) {
    auto system = std::make_unique<FakeSystem>();
    system->devices = std::move(devices);
    system->started = &started;
    system->running = &running;
    system->lists = &lists;
    return system;
  }
};

const std::vector<CameraDevice> kTwo = {{"USB Camera", L"@device:a"}, {"\xc9\xe3", L"@device:b"}};

TEST_F(EngineTest, ListNumbersInOrderAndKeepsTheListObject) {
  CameraEngine engine(System(kTwo));
  CameraList* first = nullptr;
  CameraList* second = nullptr;
  ASSERT_TRUE(engine.List(&first, nullptr));
  ASSERT_TRUE(engine.List(&second, nullptr));
  EXPECT_EQ(first, second);
  ASSERT_EQ(first->size(), 2u);
  EXPECT_EQ((*first)[0].number, 0);
  EXPECT_EQ((*first)[0].name, "USB Camera");
  EXPECT_EQ((*first)[1].number, 1);
  EXPECT_EQ((*first)[1].name, "\xc9\xe3");
}

TEST_F(EngineTest, NoCameraIsAValidEmptyList) {
  CameraEngine engine(System({}));
  CameraList* list = nullptr;
  ProbeError error;
  EXPECT_TRUE(engine.List(&list, &error));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->empty());
  EXPECT_EQ(error.code, 0);
}

TEST_F(EngineTest, FailedListingEmptiesTheListAndFails) {
  auto system = System(kTwo);
  FakeSystem* fake = system.get();
  CameraEngine engine(std::move(system));
  CameraList* list = nullptr;
  ASSERT_TRUE(engine.List(&list, nullptr));
  fake->listFails = true;
  CameraList* untouched = nullptr;
  ProbeError error;
  EXPECT_FALSE(engine.List(&untouched, &error));
  EXPECT_EQ(untouched, nullptr);
  EXPECT_TRUE(list->empty());
  EXPECT_EQ(error.code, kListFailed);
  EXPECT_EQ(error.message, kListFailedText);
}

TEST_F(EngineTest, OpenFailures) {
  struct Case {
    const char* what;
    bool setWindow;
    CameraRect rect;
    int number;
    StartResult start;
    bool listFails;
    int code;
  };
  const Case cases[] = {
      {"no window", false, {0, 0, 513, 195}, 0, StartResult::kRunning, false, kNoVideoWindow},
      {"empty width", true, {10, 0, 10, 195}, 0, StartResult::kRunning, false, kNoVideoWindow},
      {"negative height", true, {0, 50, 513, 40}, 0, StartResult::kRunning, false, kNoVideoWindow},
      {"number -1", true, {0, 0, 513, 195}, -1, StartResult::kRunning, false, kNoSuchCamera},
      {"number past the end",
       true,
       {0, 0, 513, 195},
       2,
       StartResult::kRunning,
       false,
       kNoSuchCamera},
      {"device gone", true, {0, 0, 513, 195}, 1, StartResult::kMissing, false, kNoSuchCamera},
      {"graph not built", true, {0, 0, 513, 195}, 0, StartResult::kUnbuildable, false, kOpenFailed},
      {"device busy", true, {0, 0, 513, 195}, 0, StartResult::kRefused, false, kCameraBusy},
      {"list unreadable", true, {0, 0, 513, 195}, 0, StartResult::kRunning, true, kListFailed},
  };
  for (const Case& c : cases) {
    auto system = System(kTwo);
    system->startResult = c.start;
    system->listFails = c.listFails;
    CameraEngine engine(std::move(system));
    if (c.setWindow) {
      engine.SetVideoWindow(&window, c.rect);
    }
    ProbeError error;
    EXPECT_FALSE(engine.Open(c.number, &error)) << c.what;
    EXPECT_EQ(error.code, c.code) << c.what;
    EXPECT_FALSE(error.message.empty()) << c.what;
    EXPECT_EQ(running.load(), 0) << c.what;
  }
}

TEST_F(EngineTest, OpenListsWhenNeverListedAndEndsThePreviousPreview) {
  {
    CameraEngine engine(System(kTwo));
    engine.SetVideoWindow(&window, rect);
    EXPECT_TRUE(engine.Open(1, nullptr));
    EXPECT_EQ(lists, 1);
    EXPECT_TRUE(engine.Open(0, nullptr));
    EXPECT_EQ(lists, 1);
    EXPECT_EQ(running.load(), 1);
    engine.Close();
    engine.Close();
    EXPECT_EQ(running.load(), 0);
    EXPECT_TRUE(engine.Open(1, nullptr));
  }
  // The engine's end stops the preview left open.
  EXPECT_EQ(running.load(), 0);
  EXPECT_EQ(started, (std::vector<std::wstring>{L"@device:b", L"@device:a", L"@device:b"}));
}

TEST_F(EngineTest, FailedOpenAlsoEndsThePreviewBefore) {
  auto system = System(kTwo);
  FakeSystem* fake = system.get();
  CameraEngine engine(std::move(system));
  engine.SetVideoWindow(&window, rect);
  ASSERT_TRUE(engine.Open(0, nullptr));
  fake->startResult = StartResult::kRefused;
  EXPECT_FALSE(engine.Open(0, nullptr));
  EXPECT_EQ(running.load(), 0);
  engine.Close();  // nothing left to stop: the fake would count below zero
  EXPECT_EQ(running.load(), 0);
}

TEST_F(EngineTest, ThreadsListingOpeningAndClosingTogether) {
  CameraEngine engine(System(kTwo));
  engine.SetVideoWindow(&window, rect);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&engine, t] {
      for (int i = 0; i < 200; ++i) {
        CameraList* list = nullptr;
        if (t == 0) {
          engine.List(&list, nullptr);
        } else if (t == 1) {
          engine.Close();
        } else {
          engine.Open(i % 2, nullptr);
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  engine.Close();
  EXPECT_EQ(running.load(), 0);
}

TEST_F(EngineTest, ExportsFailCleanlyAfterRelease) {
  InstallEngine(std::make_unique<CameraEngine>(System(kTwo)));
  CameraList* list = nullptr;
  ProbeError error;
  EXPECT_EQ(GetLocalCamera(&list, &error), 1);
  SetCameraShowVideoWnd(&window, rect);
  EXPECT_EQ(OpenLocalCamera(0, nullptr), 1);  // no error record is fine
  ReleaseCameraDllRes();
  EXPECT_EQ(running.load(), 0);
  ReleaseCameraDllRes();
  CloseLocalCamera();
  SetCameraShowVideoWnd(nullptr, rect);
  EXPECT_EQ(GetLocalCamera(&list, &error), 0);
  EXPECT_EQ(error.code, kLibraryReleased);
  ProbeError openError;
  EXPECT_EQ(OpenLocalCamera(0, &openError), 0);
  EXPECT_EQ(openError.code, kLibraryReleased);
  EXPECT_EQ(openError.message, kLibraryReleasedText);
}

}  // namespace
}  // namespace camprobe
