// A machine profile: the recorded output of the Windows tools on one machine, looked up by the
// exact command line the product issues. Shared by simtools (under Wine) and the native tests'
// fake command runner, so both answer from the same recordings.
//
// A profile is a folder holding commands.txt; see testdata/profiles/README.md for its format.
// Portable: no Windows headers. Text here is UTF-8 (command lines, paths, messages).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "kestrel/utf8.h"

namespace simtools {

// Splits a Windows command line into its program token (quotes removed) and the raw tail
// after it, blanks and quoting of the tail kept as the caller wrote them.
void SplitCommandLine(const std::string& commandLine, std::string* program, std::string* arguments);

// A command line in the form profiles are keyed by: the tool name lower-cased, without its
// folder and ".exe", then one blank and the arguments exactly as written with the surrounding
// blanks trimmed. "C:\Windows\System32\PING.EXE  www.baidu.com " gives "ping www.baidu.com".
// The tool name may be quoted ("\"C:\Program Files\x\wmic.exe\" cpu get Name").
std::string NormaliseCommand(const std::string& commandLine);

// The same, for a tool name and an argument tail that are already apart (simtools knows its
// name from its own file name and its arguments from the raw command line).
std::string NormaliseCommand(const std::string& tool, const std::string& arguments);

// Wide text (UTF-16 on Windows, UTF-32 elsewhere) to UTF-8, and back.
using kestrel::Utf8ToWide;
using kestrel::WideToUtf8;

// The exact bytes of a file (no line-end translation). False when it cannot be opened or read.
// The path is UTF-8; on Windows it is opened through the wide file API.
bool ReadFileBytes(const std::string& path, std::string* bytes);

// simtools' call log holds one normalised command line per call, so the number of earlier
// entries equal to a command is that command's position in its sequence of recordings.
std::size_t CountLogEntries(const std::string& log, const std::string& entry);

// The log entry of a command the profile does not know.
inline std::string UnknownLogEntry(const std::string& command) {
  return "? " + command;
}

// How long a command waits before it answers, from a delay list such as KESTREL_SIMDELAY's
// "netsh interface ip set=3000;wmic cpu list full=60000": entries apart by ";", each a
// normalised command's beginning, "=" and milliseconds (the last "=" of the entry, since
// command lines hold "=" too). The first entry that begins `command` wins; 0 when none does.
// A malformed entry is skipped, and a delay is capped at kMaxDelayMs so that a typing slip
// cannot hang a test for days.
constexpr unsigned long kMaxDelayMs = 10ul * 60ul * 1000ul;
unsigned long DelayFor(const std::string& delays, const std::string& command);

// One adapter of a profile's adapters.txt, the system's adapter table as the stand-in
// iphlpapi.dll and the native tests' fake answer it. UTF-8.
struct AdapterEntry {
  std::string description;
  std::string friendlyName;
};

// adapters.txt: "<description> => <friendly name>" a line, blank lines and "#" comments
// skipped. False with a message naming the line when one has no " => " or an empty side.
bool ParseAdapterTable(const std::string& text, std::vector<AdapterEntry>* adapters,
                       std::string* error);

class Profile {
 public:
  // One command of commands.txt and the recordings of its successive runs.
  struct Entry {
    std::vector<std::string> files;  // relative to the profile folder, as written
    int line = 0;                    // where it stands in commands.txt
  };

  // Reads <folder>/commands.txt. False with a message naming the file (and line) on failure;
  // the profile is then empty.
  bool Load(const std::string& folder, std::string* error);

  // Parses the text of a commands.txt; `source` names it in messages, `folder` is where its
  // file names are resolved.
  bool Parse(const std::string& text, const std::string& source, const std::string& folder,
             std::string* error);

  bool Knows(const std::string& command) const;

  // The path of the recording for the run at `position` (0 for the first run) of `command`
  // (normalised or not); runs past the last recording get the last one again. Empty when the
  // command is unknown.
  std::string RecordingPath(const std::string& command, std::size_t position) const;

  // Reads that recording. False with a message when the command is unknown or its file cannot
  // be read.
  bool Recording(const std::string& command, std::size_t position, std::string* bytes,
                 std::string* error) const;

  const std::string& folder() const { return folder_; }
  const std::map<std::string, Entry>& entries() const { return entries_; }

 private:
  std::string folder_;
  std::map<std::string, Entry> entries_;  // keyed by normalised command line
};

}  // namespace simtools
