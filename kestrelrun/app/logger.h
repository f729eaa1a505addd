// The program's log: one plain-text file per start in a folder beside the program, one line per
// message, each written whole under a lock and flushed at once. The text is UTF-8: a new file
// begins with the UTF-8 byte order mark, so that an editor on any machine reads it as such.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace LOGGER {

inline constexpr int kFatal = 1;
inline constexpr int kError = 2;
inline constexpr int kWarning = 3;
inline constexpr int kInfo = 4;  // messages are written from this level on

inline constexpr const char kUtf8Mark[] = "\xEF\xBB\xBF";

inline constexpr const char* kLevelPrefixes[] = {"", "Fatal\t", "Error\t", "Warning\t", "Info\t"};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the log needs from the system; Win32 in logger_win32.cpp, fakes in tests.
class ILogPlatform {
 public:
  virtual ~ILogPlatform() = default;
  // The program's folder (drive and directory), ending in a backslash.
  virtual std::string ProgramFolder() = 0;
  // Creates the folder of a path ending in a backslash and every missing parent.
  virtual bool MakeSureDirectoryPathExists(const std::string& folder) = 0;
  virtual LocalTime Now() = 0;
  // Opens a Windows path for appending and reading ("a+"); null on failure.
  virtual std::FILE* OpenAppend(const std::string& path) = 0;
};

class CLogger {
 public:
  // An empty folder means the program's folder; an empty file name one made from the time now.
  CLogger(ILogPlatform& platform, int level, std::string folder, std::string fileName);
  CLogger(const CLogger&) = delete;
  CLogger& operator=(const CLogger&) = delete;
  virtual ~CLogger();

  // An information line; nothing for a null format or an empty message.
  void Info(const char* format, ...) noexcept
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  const std::string& folder() const {
    return folder_;
  }
  const std::string& fileName() const {
    return fileName_;
  }
  const std::string& path() const {
    return path_;
  }

 private:
  // Opens the file for appending; an empty one gets the byte order mark first.
  void Open();

  ILogPlatform& platform_;
  int level_;
  std::string folder_;
  std::string fileName_;
  std::string path_;
  std::FILE* file_ = nullptr;
  std::mutex lock_;
};

// The text of a line without its line end, for a time and a message.
std::string FormatLine(const LocalTime& time, const std::string& message);
// The file name of a log started at `time`.
std::string FileNameFor(const LocalTime& time);

}  // namespace LOGGER
