#include "app/logger.h"

#include <cstdarg>
#include <vector>

namespace LOGGER {

namespace {

std::string Printf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string Printf(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

std::string FileNameFor(const LocalTime& t) {
  return Printf("%04d%02d%02d_%02d%02d%02d.log", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
}

std::string FormatLine(const LocalTime& t, const std::string& message) {
  return std::string(kLevelPrefixes[kInfo]) +
         Printf("%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                t.second) +
         message;
}

CLogger::CLogger(ILogPlatform& platform, int level, std::string folder, std::string fileName)
    : platform_(platform),
      level_(level),
      folder_(std::move(folder)),
      fileName_(std::move(fileName)) {
  if (folder_.empty()) {
    folder_ = platform_.ProgramFolder();
  }
  if (folder_.empty() || folder_.back() != '\\') {
    folder_ += '\\';
  }
  platform_.MakeSureDirectoryPathExists(folder_);
  if (fileName_.empty()) {
    fileName_ = FileNameFor(platform_.Now());
  }
  path_ = folder_ + fileName_;
  Open();
}

void CLogger::Open() {
  file_ = platform_.OpenAppend(path_);
  if (file_ != nullptr && std::fseek(file_, 0, SEEK_END) == 0 && std::ftell(file_) == 0) {
    std::fputs(kUtf8Mark, file_);
    std::fflush(file_);
  }
}

CLogger::~CLogger() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void CLogger::Info(const char* format, ...) noexcept {
  if (level_ < kInfo || format == nullptr) {
    return;
  }
  try {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string message;
    if (length > 0) {
      std::vector<char> text(static_cast<std::size_t>(length) + 1);
      std::vsnprintf(text.data(), text.size(), format, again);
      message.assign(text.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    if (message.empty()) {
      return;
    }
    const std::string line = FormatLine(platform_.Now(), message);
    std::lock_guard<std::mutex> hold(lock_);
    if (file_ == nullptr) {
      Open();
      if (file_ == nullptr) {
        return;
      }
    }
    std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
  } catch (...) {
    // no memory for the line: the log loses it, the caller carries on
  }
}

}  // namespace LOGGER
