#include "profile.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "kestrel/ascii.h"
#include "kestrel/text.h"

namespace simtools {

namespace {

constexpr const char* kBlanks = " \t";

std::string Trim(std::string text) {
  kestrel::TrimLeft(text, kBlanks);
  kestrel::TrimRight(text, kBlanks);
  return text;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// "C:\Windows\System32\PING.EXE" -> "ping": the name the tool is known by, whatever its path.
std::string ToolName(const std::string& token) {
  std::string name = token.substr(token.find_last_of("\\/") + 1);
  name = kestrel::AsciiLower(name);
  const std::string exe = ".exe";
  if (name.size() > exe.size() && name.compare(name.size() - exe.size(), exe.size(), exe) == 0) {
    name.resize(name.size() - exe.size());
  }
  return name;
}

std::string JoinPath(const std::string& folder, const std::string& file) {
  if (folder.empty()) {
    return file;
  }
  const char last = folder.back();
  return (last == '/' || last == '\\') ? folder + file : folder + "/" + file;
}

std::vector<std::string> SplitBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while ((pos = text.find_first_not_of(kBlanks, pos)) != std::string::npos) {
    const std::size_t end = text.find_first_of(kBlanks, pos);
    words.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

// The "=>" that separates command and files: the last one standing between blanks (or at an
// end of the line), since a command line could hold the two characters but file names do not.
std::size_t FindArrow(const std::string& line) {
  std::size_t pos = line.rfind("=>");
  while (pos != std::string::npos) {
    const bool blankBefore = pos == 0 || IsBlank(line[pos - 1]);
    const bool blankAfter = pos + 2 == line.size() || IsBlank(line[pos + 2]);
    if (blankBefore && blankAfter) {
      return pos;
    }
    pos = pos == 0 ? std::string::npos : line.rfind("=>", pos - 1);
  }
  return std::string::npos;
}

// A command with one number range "{A..B}" (the LAN sweep's 256 pings) stands for the commands
// with each number from A to B in its place. Without a range, the command alone. Empty with
// `fail` set when the range is malformed.
std::vector<std::string> ExpandRange(const std::string& command, std::string* fail) {
  const std::size_t open = command.find('{');
  const std::size_t dots = command.find("..", open == std::string::npos ? 0 : open);
  const std::size_t close = command.find('}', dots == std::string::npos ? 0 : dots);
  if (open == std::string::npos || dots == std::string::npos || close == std::string::npos) {
    return {command};
  }
  const std::string first = command.substr(open + 1, dots - open - 1);
  const std::string last = command.substr(dots + 2, close - dots - 2);
  const auto isNumber = [](const std::string& text) {
    return !text.empty() && text.size() <= 5 &&
           text.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!isNumber(first) || !isNumber(last) || std::stoi(first) > std::stoi(last)) {
    *fail = "a range is written {FIRST..LAST} with FIRST <= LAST";
    return {};
  }
  std::vector<std::string> commands;
  for (int n = std::stoi(first); n <= std::stoi(last); ++n) {
    commands.push_back(command.substr(0, open) + std::to_string(n) + command.substr(close + 1));
  }
  return commands;
}

// Calls `take(lineNumber, line)` for each line of a UTF-8 listing that holds something: a
// leading byte order mark, line ends, surrounding blanks, blank lines and "#" comments are
// passed over. Stops early, with false, when `take` does.
template <typename Take>
bool ForEachListedLine(const std::string& text, Take take) {
  std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  int lineNumber = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) {
      end = text.size();
    }
    ++lineNumber;
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    line = Trim(line);
    if (!line.empty() && line[0] != '#' && !take(lineNumber, line)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void SplitCommandLine(const std::string& commandLine, std::string* program,
                      std::string* arguments) {
  const std::size_t start = commandLine.find_first_not_of(kBlanks);
  std::string token;
  std::size_t rest = commandLine.size();
  if (start != std::string::npos && commandLine[start] == '"') {
    const std::size_t close = commandLine.find('"', start + 1);
    token = commandLine.substr(start + 1,
                               close == std::string::npos ? std::string::npos : close - start - 1);
    rest = close == std::string::npos ? commandLine.size() : close + 1;
  } else if (start != std::string::npos) {
    const std::size_t end = commandLine.find_first_of(kBlanks, start);
    token = commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
    rest = end == std::string::npos ? commandLine.size() : end;
  }
  *program = token;
  *arguments = commandLine.substr(rest);
}

std::string NormaliseCommand(const std::string& tool, const std::string& arguments) {
  std::string normalised = ToolName(Trim(tool));
  const std::string rest = Trim(arguments);
  if (!rest.empty()) {
    normalised += ' ';
    normalised += rest;
  }
  return normalised;
}

std::string NormaliseCommand(const std::string& commandLine) {
  std::string program;
  std::string arguments;
  SplitCommandLine(commandLine, &program, &arguments);
  return NormaliseCommand(program, arguments);
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
#ifdef _WIN32
  std::FILE* raw = _wfopen(Utf8ToWide(path).c_str(), L"rb");
#else
  std::FILE* raw = std::fopen(path.c_str(), "rb");
#endif
  if (raw == nullptr) {
    return false;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(raw, &std::fclose);
  std::string content;
  char buffer[16384];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    content.append(buffer, got);
  }
  if (std::ferror(file.get()) != 0) {
    return false;
  }
  *bytes = std::move(content);
  return true;
}

std::size_t CountLogEntries(const std::string& log, const std::string& entry) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < log.size()) {
    std::size_t end = log.find('\n', pos);
    if (end == std::string::npos) {
      end = log.size();
    }
    std::size_t lineEnd = end;
    if (lineEnd > pos && log[lineEnd - 1] == '\r') {
      --lineEnd;
    }
    if (log.compare(pos, lineEnd - pos, entry) == 0) {
      ++count;
    }
    pos = end + 1;
  }
  return count;
}

bool ParseAdapterTable(const std::string& text, std::vector<AdapterEntry>* adapters,
                       std::string* error) {
  adapters->clear();
  return ForEachListedLine(text, [&](int lineNumber, const std::string& line) {
    const std::size_t arrow = line.find(" => ");
    AdapterEntry entry;
    if (arrow != std::string::npos) {
      entry.description = Trim(line.substr(0, arrow));
      entry.friendlyName = Trim(line.substr(arrow + 4));
    }
    if (entry.description.empty() || entry.friendlyName.empty()) {
      adapters->clear();
      *error = "adapters.txt:" + std::to_string(lineNumber) +
               ": expected '<description> => <friendly name>'";
      return false;
    }
    adapters->push_back(std::move(entry));
    return true;
  });
}

bool Profile::Load(const std::string& folder, std::string* error) {
  const std::string source = JoinPath(folder, "commands.txt");
  std::string text;
  if (!ReadFileBytes(source, &text)) {
    folder_.clear();
    entries_.clear();
    *error = source + ": cannot read the profile's command list";
    return false;
  }
  return Parse(text, source, folder, error);
}

bool Profile::Parse(const std::string& text, const std::string& source, const std::string& folder,
                    std::string* error) {
  folder_ = folder;
  entries_.clear();
  return ForEachListedLine(text, [&](int lineNumber, const std::string& line) {
    const std::string where = source + ":" + std::to_string(lineNumber) + ": ";
    const std::size_t arrow = FindArrow(line);
    std::string fail;
    std::vector<std::string> commands;
    std::vector<std::string> files;
    if (arrow == std::string::npos) {
      fail = "expected '<command line> => <file> [<file> ...]'";
    } else {
      const std::string command = NormaliseCommand(line.substr(0, arrow));
      files = SplitBlanks(line.substr(arrow + 2));
      if (command.empty()) {
        fail = "no command line before '=>'";
      } else if (files.empty()) {
        fail = "no recording after '=>'";
      } else {
        commands = ExpandRange(command, &fail);
      }
    }
    for (const std::string& command : commands) {
      if (fail.empty() && entries_.count(command) != 0) {
        fail = "\"" + command + "\" is already listed at line " +
               std::to_string(entries_[command].line);
      }
    }
    if (!fail.empty()) {
      entries_.clear();
      *error = where + fail;
      return false;
    }
    for (const std::string& command : commands) {
      entries_[command] = Entry{files, lineNumber};
    }
    return true;
  });
}

bool Profile::Knows(const std::string& command) const {
  return entries_.count(NormaliseCommand(command)) != 0;
}

std::string Profile::RecordingPath(const std::string& command, std::size_t position) const {
  const auto found = entries_.find(NormaliseCommand(command));
  if (found == entries_.end()) {
    return {};
  }
  const std::vector<std::string>& files = found->second.files;
  return JoinPath(folder_, files[std::min(position, files.size() - 1)]);
}

bool Profile::Recording(const std::string& command, std::size_t position, std::string* bytes,
                        std::string* error) const {
  const std::string path = RecordingPath(command, position);
  if (path.empty()) {
    *error = "no recording of \"" + NormaliseCommand(command) + "\" in profile " + folder_;
    return false;
  }
  if (!ReadFileBytes(path, bytes)) {
    *error = "cannot read recording " + path + " of \"" + NormaliseCommand(command) + "\"";
    return false;
  }
  return true;
}

unsigned long DelayFor(const std::string& delays, const std::string& command) {
  std::size_t start = 0;
  while (start <= delays.size()) {
    std::size_t end = delays.find(';', start);
    if (end == std::string::npos) {
      end = delays.size();
    }
    const std::string entry = delays.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = entry.rfind('=');
    if (equals == std::string::npos) {
      continue;
    }
    const std::string prefix = Trim(entry.substr(0, equals));
    const std::string number = Trim(entry.substr(equals + 1));
    if (prefix.empty() || number.empty() || number.size() > 9 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    if (command.compare(0, prefix.size(), prefix) == 0) {
      return std::min(std::stoul(number), kMaxDelayMs);
    }
  }
  return 0;
}

}  // namespace simtools
