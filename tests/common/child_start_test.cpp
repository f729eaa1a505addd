// The child-start lock is one per process: a start in one binary waits while another binary of
// the same process holds it, and a mutex of its name held by a stranger never stops a start.
#include <windows.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "kestrel/child_start.h"

namespace {

using HoldFunction = int (*)(HANDLE, HANDLE);

struct Event {
  HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~Event() { CloseHandle(handle); }
};

TEST(ChildStartLockTest, AStartWaitsWhileAnotherBinaryOfTheProcessHoldsTheLock) {
  const HMODULE holder = LoadLibraryW(L"child_start_holder.dll");
  ASSERT_NE(holder, nullptr);
  const auto hold = reinterpret_cast<HoldFunction>(
      reinterpret_cast<void*>(GetProcAddress(holder, "HoldChildStartLock")));
  ASSERT_NE(hold, nullptr);

  Event held;
  Event release;
  std::atomic<int> holderResult{-1};
  std::thread other([&] { holderResult = hold(held.handle, release.handle); });
  ASSERT_EQ(WaitForSingleObject(held.handle, 30000), WAIT_OBJECT_0);

  std::atomic<bool> acquired{false};
  std::atomic<bool> acrossProcess{false};
  std::thread start([&] {
    const kestrel::ChildStartLock lock;
    acrossProcess = lock.heldAcrossProcess();
    acquired = true;
  });
  // The holder keeps the lock until released, so no wait here can let the start in early.
  Sleep(300);
  EXPECT_FALSE(acquired) << "a start went ahead while the other binary held the lock";
  SetEvent(release.handle);
  start.join();
  other.join();
  EXPECT_TRUE(acquired);
  EXPECT_TRUE(acrossProcess);
  EXPECT_EQ(holderResult, 1);
  FreeLibrary(holder);
}

TEST(ChildStartLockTest, AStrangerHoldingTheMutexDelaysAStartOnlyByTheBound) {
  Event held;
  Event release;
  std::thread stranger([&] {
    // Made here or opened (an earlier test made it), and taken by a wait either way.
    const HANDLE mutex =
        CreateMutexW(nullptr, FALSE, kestrel::ChildStartMutexName(GetCurrentProcessId()).c_str());
    if (mutex != nullptr) {
      WaitForSingleObject(mutex, 30000);
    }
    SetEvent(held.handle);
    WaitForSingleObject(release.handle, 30000);
    if (mutex != nullptr) {
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    }
  });
  ASSERT_EQ(WaitForSingleObject(held.handle, 30000), WAIT_OBJECT_0);
  {
    const kestrel::ChildStartLock lock(200);
    EXPECT_FALSE(lock.heldAcrossProcess());
  }
  SetEvent(release.handle);
  stranger.join();
  // Once the stranger has let go, starts hold the process's mutex again.
  const kestrel::ChildStartLock lock(200);
  EXPECT_TRUE(lock.heldAcrossProcess());
}

}  // namespace
