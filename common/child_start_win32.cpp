#include "kestrel/child_start.h"

#include <windows.h>

namespace kestrel {
namespace {

SRWLOCK startLock = SRWLOCK_INIT;

}  // namespace

ChildStartLock::ChildStartLock() {
  AcquireSRWLockExclusive(&startLock);
}

ChildStartLock::~ChildStartLock() {
  ReleaseSRWLockExclusive(&startLock);
}

}  // namespace kestrel
