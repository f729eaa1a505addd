// The testers' portable half: which file each tester leaves, the texts it asks with, how the
// box's answer becomes the number the library reads, and writing that number.
#pragma once

#include <filesystem>
#include <string>

namespace testers {

enum class Device { kMicrophone, kCamera };

// What the user did with the question: a verdict either way, or closed it without one.
enum class BoxAnswer { kYes, kNo, kDismissed };

// The numbers the result file holds, with the meanings the library's popups use.
constexpr int kNoVerdict = 0;
constexpr int kWorks = 1;
constexpr int kHasProblem = 2;

// Exit codes of the tester programs.
constexpr int kExitWritten = 0;
constexpr int kExitNotWritten = 1;  // the result file could not be written whole
constexpr int kExitNoFolder = 2;    // the program's own folder is unknown

struct TesterTexts {
  const wchar_t* result_file;  // in the tester's own folder
  const wchar_t* title;
  const wchar_t* question;
};

const TesterTexts& TextsOf(Device device);

int VerdictOf(BoxAnswer answer);

// The result file's bytes: the verdict on a line of its own.
std::string ResultText(int verdict);

// Writes the verdict into the device's result file in `folder`, replacing any earlier file. A
// file that could not be written whole is removed again, so the reader finds none rather than a
// wrong one. Returns kExitWritten or kExitNotWritten.
int WriteVerdict(const std::filesystem::path& folder, Device device, int verdict);

}  // namespace testers
