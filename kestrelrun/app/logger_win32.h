// The Win32 side of the log's platform (logger_win32.cpp).
#pragma once

#include "app/logger.h"

namespace LOGGER {

class Win32LogPlatform final : public ILogPlatform {
 public:
  std::string ProgramFolder() override;
  bool MakeSureDirectoryPathExists(const std::string& folder) override;
  LocalTime Now() override;
  std::FILE* OpenAppend(const std::string& path) override;
};

}  // namespace LOGGER
