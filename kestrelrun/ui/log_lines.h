// The detection run's log lines into the program's log: wide text converted once to the
// system's code page, one line each.
#pragma once

#include "app/detect_view.h"
#include "app/logger.h"
#include "kestrel/codepage.h"

namespace kestrelrun {

class CLoggerLines : public IDetectLog {
 public:
  CLoggerLines(LOGGER::CLogger& logger, const kestrel::ICodePage& codePage)
      : logger_(logger), codePage_(codePage) {}
  void Line(const std::wstring& text) override {
    logger_.Info("%s", codePage_.WideToAnsi(text).c_str());
  }

 private:
  LOGGER::CLogger& logger_;
  const kestrel::ICodePage& codePage_;
};

}  // namespace kestrelrun
