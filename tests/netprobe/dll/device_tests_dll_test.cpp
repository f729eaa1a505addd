// The microphone and camera verdicts of the real NetProbe.dll: stored as given, or read from
// the result file that the stand-in testers in Test\ leave with the answer a test chose.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NetProbe.h"

namespace kestrel::test {
namespace {

// The answer the stand-in testers leave ("|" starts a new line), unset when empty.
class TesterAnswer {
 public:
  explicit TesterAnswer(const wchar_t* answer) {
    SetEnvironmentVariableW(L"KESTREL_TESTER_ANSWER", *answer != L'\0' ? answer : nullptr);
  }
  ~TesterAnswer() { SetEnvironmentVariableW(L"KESTREL_TESTER_ANSWER", nullptr); }
  TesterAnswer(const TesterAnswer&) = delete;
  TesterAnswer& operator=(const TesterAnswer&) = delete;
};

std::wstring TestFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring self(path, length);
  return self.substr(0, self.find_last_of(L'\\')) + L"\\Test\\";
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(DeviceTestsDllTest, TestersLeaveTheVerdictInTheirResultFile) {
  struct Case {
    const wchar_t* answer;
    int result;
    int state;
    int code;
  };
  // The microphone: no file is a failure with state 2.
  for (const Case& c : {Case{L"1", 1, 1, 0}, Case{L"2|closed late", 1, 2, 0},
                        Case{L"1 works", 1, 1, 0}, Case{L"|2", 1, 0, 0}, Case{L"", 0, 2, 2}}) {
    TesterAnswer answer(c.answer);
    const int* state = nullptr;
    ProbeError error;
    EXPECT_EQ(GetMicrophoneTest(&state, &error), c.result);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(*state, c.state);
    EXPECT_EQ(error.code, c.code);
    if (c.code != 0) {
      EXPECT_EQ(error.message, "测试麦克风失败");
    }
    EXPECT_FALSE(Exists(TestFolder() + L"MicrophoneTextResult.txt"));
  }
  // The camera: no file is a success with state 0.
  for (const Case& c : {Case{L"2", 1, 2, 0}, Case{L"1", 1, 1, 0}, Case{L"", 1, 0, 0}}) {
    TesterAnswer answer(c.answer);
    const int* state = nullptr;
    ProbeError error;
    EXPECT_EQ(GetCameraTest(&state, &error), c.result);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(*state, c.state);
    EXPECT_EQ(error.code, c.code);
    EXPECT_FALSE(Exists(TestFolder() + L"CameraTextResult.txt"));
  }
}

TEST(DeviceTestsDllTest, SetStoresWhatTheCallerGives) {
  const int* mic = nullptr;
  const int* camera = nullptr;
  ProbeError error;
  {
    TesterAnswer answer(L"0");
    GetMicrophoneTest(&mic, &error);
    GetCameraTest(&camera, &error);
  }
  ASSERT_NE(mic, nullptr);
  ASSERT_NE(camera, nullptr);
  for (int value : {0, 1, 2, 7}) {
    EXPECT_EQ(SetMicrophoneTestResult(value), 1);
    EXPECT_EQ(*mic, value);
    EXPECT_EQ(SetCameraTestResult(value), 1);
    EXPECT_EQ(*camera, value);
  }
  EXPECT_EQ(SetMicrophoneTestResult(-1), 0);
  EXPECT_EQ(*mic, 7);
  EXPECT_EQ(SetCameraTestResult(-1), 0);
  EXPECT_EQ(*camera, 7);
}

}  // namespace
}  // namespace kestrel::test
