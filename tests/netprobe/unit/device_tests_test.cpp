// The microphone and camera verdicts: stored by the caller or read from a tester's result file.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "probes/device_tests/device_tests.h"
#include "probes/device_tests/tester_platform.h"
#include "support/fake_machine.h"

namespace kestrel::test {
namespace {

// Programs "run" by leaving the result lines a test chose at the result path.
class FakeTesters : public netprobe::ITesterPrograms {
 public:
  bool ExeFolder(std::wstring& folder) override {
    folder = exeFolder;
    return !exeFolder.empty();
  }
  bool LibraryFolder(std::wstring& folder) override {
    folder = libraryFolder;
    return !libraryFolder.empty();
  }
  void ShellRunAndWait(const std::wstring& program) override { Ran(program); }
  bool RunAndWait(const std::wstring& program) override {
    if (!starts) {
      return false;
    }
    Ran(program);
    return true;
  }
  bool FileExists(const std::wstring& path) override { return files->lines.count(path) > 0; }
  void RemoveFile(const std::wstring& path) override {
    removed.push_back(path);
    files->lines.erase(path);
  }

  void Ran(const std::wstring& program) {
    ran.push_back(program);
    if (leavesResult) {
      files->lines[resultPath] = resultLines;
    }
  }

  FakeFiles* files = nullptr;
  std::wstring exeFolder = L"C:\\Kestrel";
  std::wstring libraryFolder = L"C:\\Kestrel\\";
  bool starts = true;
  bool leavesResult = true;
  std::wstring resultPath;
  std::vector<std::string> resultLines;
  std::vector<std::wstring> ran;
  std::vector<std::wstring> removed;
};

struct DeviceRig {
  DeviceRig() : machine("desktop-zh") {
    testers.files = &machine.files;
    netprobe::Platform platform = machine.platform();
    platform.testers = &testers;
    engine = std::make_unique<netprobe::ProbeEngine>(platform);
  }
  FakeMachine machine;
  FakeTesters testers;
  std::unique_ptr<netprobe::ProbeEngine> engine;
};

// What the first line of a result file stores; an empty file leaves the earlier state (5).
TEST(DeviceTests, ResultFileFirstLineIsTheVerdict) {
  struct Case {
    std::vector<std::string> lines;
    int state;
  };
  const Case cases[] = {
      {{"1"}, 1},   {{"2\r", "1"}, 2}, {{"1 works"}, 1}, {{""}, 0},
      {{"  7"}, 7}, {{"x1"}, 0},       {{"-3"}, -3},     {{"99999999999"}, 2147483647},
      {{}, 5},  // an empty file cannot be read: the state stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? std::string("(empty)") : c.lines.front());
    DeviceRig mic;
    SeedRecords(*mic.engine, [&](netprobe::ProbeRecords& r) { r.microphoneState = 5; });
    mic.testers.resultPath = L"C:\\Kestrel\\Test\\MicrophoneTextResult.txt";
    mic.testers.resultLines = c.lines;
    ProbeError error;
    EXPECT_EQ(mic.engine->RunMicrophoneTest(&error), 1);
    EXPECT_EQ(mic.engine->records().microphoneState, c.state);
    EXPECT_EQ(mic.testers.ran, std::vector<std::wstring>{L"C:\\Kestrel\\Test\\MicProbe.exe"});
    EXPECT_EQ(mic.testers.removed, std::vector<std::wstring>{mic.testers.resultPath});

    DeviceRig camera;
    SeedRecords(*camera.engine, [&](netprobe::ProbeRecords& r) { r.cameraState = 5; });
    camera.testers.resultPath = L"C:\\Kestrel\\Test\\CameraTextResult.txt";
    camera.testers.resultLines = c.lines;
    EXPECT_EQ(camera.engine->RunCameraTest(&error), 1);
    EXPECT_EQ(camera.engine->records().cameraState, c.lines.empty() ? 0 : c.state) << "reset first";
    EXPECT_EQ(camera.testers.ran, std::vector<std::wstring>{L"C:\\Kestrel\\Test\\CamProbe.exe"});
    EXPECT_EQ(error.code, 0);
  }
}

TEST(DeviceTests, MissingResultsAndTestersThatDoNotStart) {
  struct Case {
    const char* name;
    bool camera;
    bool starts;
    bool leavesResult;
    int result;
    int state;
    int code;
  };
  const Case cases[] = {
      {"microphone leaves no result", false, true, false, 0, 2, 2},
      {"microphone tester missing", false, false, false, 0, 2, 2},
      {"camera leaves no result", true, true, false, 1, 0, 0},
      {"camera tester cannot start", true, false, true, 0, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceRig rig;
    SeedRecords(*rig.engine, [&](netprobe::ProbeRecords& r) { r.microphoneState = 1; });
    SeedRecords(*rig.engine, [&](netprobe::ProbeRecords& r) { r.cameraState = 1; });
    rig.testers.starts = c.starts;
    rig.testers.leavesResult = c.leavesResult;
    rig.testers.resultPath = L"C:\\Kestrel\\Test\\CameraTextResult.txt";
    rig.testers.resultLines = {"1"};
    ProbeError error;
    const int result =
        c.camera ? rig.engine->RunCameraTest(&error) : rig.engine->RunMicrophoneTest(&error);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(c.camera ? rig.engine->records().cameraState : rig.engine->records().microphoneState,
              c.state);
    EXPECT_EQ(error.code, c.code);
    if (c.code != 0) {
      EXPECT_EQ(error.message, c.camera ? netprobe::kCameraTestFailedMessage
                                        : netprobe::kMicrophoneTestFailedMessage);
    }
  }
}

TEST(DeviceTests, CameraResultBesideTheLibraryMicrophoneResultBesideTheProgram) {
  DeviceRig rig;
  rig.testers.exeFolder = L"C:\\App";
  rig.testers.libraryFolder = L"D:\\Lib\\";
  rig.testers.resultLines = {"2"};
  ProbeError error;
  rig.testers.resultPath = L"D:\\Lib\\Test\\CameraTextResult.txt";
  EXPECT_EQ(rig.engine->RunCameraTest(&error), 1);
  EXPECT_EQ(rig.engine->records().cameraState, 2);
  rig.testers.resultPath = L"C:\\App\\Test\\CameraTextResult.txt";  // beside the program: unseen
  EXPECT_EQ(rig.engine->RunCameraTest(&error), 1);
  EXPECT_EQ(rig.engine->records().cameraState, 0);

  rig.testers.resultPath = L"C:\\App\\Test\\MicrophoneTextResult.txt";
  EXPECT_EQ(rig.engine->RunMicrophoneTest(&error), 1);
  EXPECT_EQ(rig.engine->records().microphoneState, 2);
  EXPECT_EQ(rig.testers.ran.back(), L"C:\\App\\Test\\MicProbe.exe");
}

TEST(DeviceTests, PathsTooLongAreNotCutShort) {
  DeviceRig rig;
  rig.testers.exeFolder = L"C:\\" + std::wstring(250, L'a');
  rig.testers.resultPath = rig.testers.exeFolder + L"\\Test\\MicrophoneTextResult.txt";
  rig.testers.resultLines = {"1"};
  ProbeError error;
  EXPECT_EQ(rig.engine->RunMicrophoneTest(&error), 0);
  EXPECT_EQ(rig.engine->RunCameraTest(&error), 0);
  EXPECT_TRUE(rig.testers.ran.empty());
}

TEST(DeviceTests, StoredVerdictsRefuseNegativeValues) {
  const int cases[][3] = {{-1, 0, 7}, {0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {9, 1, 9}};
  for (const auto& c : cases) {
    int state = 7;
    EXPECT_EQ(netprobe::StoreVerdict(state, c[0]), c[1]) << c[0];
    EXPECT_EQ(state, c[2]) << c[0];
  }
}

}  // namespace
}  // namespace kestrel::test
