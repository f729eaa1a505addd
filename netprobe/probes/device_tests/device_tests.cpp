#include "probes/device_tests/device_tests.h"

#include <string>
#include <vector>

#include "core/probe_error.h"
#include "core/shared.h"
#include "probes/device_tests/tester_platform.h"

namespace netprobe {

namespace {

// `folder` + `tail`, or empty when there is no folder or the path would be too long (a path
// cut to 260 characters could name another program).
std::wstring TesterPath(bool found, const std::wstring& folder, const wchar_t* tail) {
  std::wstring path = found ? folder + tail : std::wstring();
  return path.size() < kMaxTesterPath ? path : std::wstring();
}

// The number at the start of the result file's first line, into `state`; unchanged when the file
// cannot be read or is empty.
void ReadVerdict(IFiles& files, const std::wstring& path, int& state) {
  std::vector<std::string> lines;
  if (files.ReadTextLines(path, lines) == 1 && !lines.empty()) {
    state = AtoI(lines.front());
  }
}

}  // namespace

int RunMicrophoneTest(ITesterPrograms* testers, IFiles& files, int& state, ProbeError* error) {
  std::wstring folder;
  const bool found = testers != nullptr && testers->ExeFolder(folder);
  const std::wstring tester = TesterPath(found, folder, kMicrophoneTester);
  if (!tester.empty()) {
    testers->ShellRunAndWait(tester);
  }
  const std::wstring result = TesterPath(found, folder, kMicrophoneResult);
  if (result.empty() || !testers->FileExists(result)) {
    state = kDeviceHasProblem;
    SetError(error, kDeviceTestFailed, kMicrophoneTestFailedMessage);
    return 0;
  }
  ReadVerdict(files, result, state);
  testers->RemoveFile(result);
  return 1;
}

int RunCameraTest(ITesterPrograms* testers, IFiles& files, int& state, ProbeError* error) {
  state = kDeviceNoVerdict;
  std::wstring folder;
  const std::wstring tester =
      TesterPath(testers != nullptr && testers->ExeFolder(folder), folder, kCameraTester);
  if (tester.empty() || !testers->RunAndWait(tester)) {
    state = kDeviceHasProblem;
    SetError(error, kDeviceTestFailed, kCameraTestFailedMessage);
    return 0;
  }
  std::wstring libraryFolder;
  const std::wstring result =
      TesterPath(testers->LibraryFolder(libraryFolder), libraryFolder, kCameraResult);
  if (!result.empty() && testers->FileExists(result)) {
    ReadVerdict(files, result, state);
    testers->RemoveFile(result);
  }
  return 1;
}

int StoreVerdict(int& state, int verdict) {
  if (verdict < 0) {
    return 0;
  }
  state = verdict;
  return 1;
}

}  // namespace netprobe
