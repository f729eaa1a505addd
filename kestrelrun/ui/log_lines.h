// The detection run's log lines into the program's log: wide text converted once to UTF-8, one
// line each. UTF-8 rather than the system's code page, which on an English machine (1252) would
// turn the Chinese problem texts into question marks; the log marks its files as UTF-8.
#pragma once

#include "app/detect_view.h"
#include "app/logger.h"
#include "kestrel/utf8.h"

namespace kestrelrun {

class CLoggerLines : public IDetectLog {
 public:
  explicit CLoggerLines(LOGGER::CLogger& logger) : logger_(logger) {}
  void Line(const std::wstring& text) override {
    logger_.Info("%s", kestrel::WideToUtf8(text).c_str());
  }

 private:
  LOGGER::CLogger& logger_;
};

}  // namespace kestrelrun
