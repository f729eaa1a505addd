#include "core/engine_error.h"

#include <mutex>

namespace micprobe {

namespace {
struct LastError {
  std::mutex lock;
  std::string text;
};

LastError& Last() {
  static LastError last;
  return last;
}
}  // namespace

void RecordEngineError(const char* text) {
  LastError& last = Last();
  std::lock_guard<std::mutex> hold(last.lock);
  try {
    last.text = text;
  } catch (...) {
    // Out of memory: the previous text stays, which is all that can be done.
  }
}

std::string EngineErrorText() {
  LastError& last = Last();
  std::lock_guard<std::mutex> hold(last.lock);
  return last.text;
}

}  // namespace micprobe
