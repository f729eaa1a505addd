// A started child inherits its own output pipe and nothing else, not even a pipe end that
// another start of the process (another DLL's, say) has made inheritable at that moment.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "kestrel/child_start.h"
#include "kestrel/module_path.h"

namespace {

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  Pipe() { CreatePipe(&read, &write, nullptr, 0); }
  ~Pipe() {
    CloseWrite();
    CloseHandle(read);
  }
  void CloseWrite() {
    if (write != nullptr) {
      CloseHandle(write);
      write = nullptr;
    }
  }
  // True while some process still holds a write end: the read side is not broken.
  bool HeldOpen() const {
    DWORD available = 0;
    return PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr) != FALSE;
  }
};

std::wstring SleeperLine(const wchar_t* milliseconds) {
  std::wstring self = kestrel::win32::ModulePath(nullptr);
  self.resize(self.find_last_of(L"\\/") + 1);
  return L"\"" + self + L"child_sleeper.exe\" " + milliseconds;
}

bool Inheritable(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE && (flags & HANDLE_FLAG_INHERIT) != 0;
}

TEST(ChildStartTest, AChildHoldsItsOwnPipeAndNoOtherInheritableOne) {
  Pipe own;
  Pipe other;
  ASSERT_NE(own.write, nullptr);
  ASSERT_NE(other.write, nullptr);
  // Another start is in its window: its child's end is inheritable right now.
  ASSERT_NE(SetHandleInformation(other.write, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT), FALSE);

  std::wstring line = SleeperLine(L"60000");
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(kestrel::StartChildWithOutput(line.data(), own.write, SW_HIDE, process))
      << GetLastError();
  EXPECT_FALSE(Inheritable(own.write)) << "the start left its own end inheritable";
  own.CloseWrite();
  other.CloseWrite();

  EXPECT_TRUE(own.HeldOpen()) << "the child did not get its output pipe";
  EXPECT_FALSE(other.HeldOpen()) << "the child took another start's pipe end";

  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_FALSE(own.HeldOpen()) << "a copy of the output end outlived the child";
}

TEST(ChildStartTest, AProgramThatCannotStartFailsWithItsErrorAndLeavesTheEndPrivate) {
  Pipe own;
  std::wstring line = L"\"C:\\no such folder\\no such program.exe\"";
  PROCESS_INFORMATION process{};
  EXPECT_FALSE(kestrel::StartChildWithOutput(line.data(), own.write, SW_HIDE, process));
  const DWORD error = GetLastError();
  EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
  EXPECT_FALSE(Inheritable(own.write));
  EXPECT_EQ(process.hProcess, nullptr);
}

}  // namespace
