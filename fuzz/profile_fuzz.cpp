// simtools' profile reader on arbitrary bytes: the commands.txt parser, the command line
// normalisation it keys by, and the UTF-8/wide conversions of its paths and messages.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "profile.h"

namespace {

void CheckParse(const std::string& text) {
  const std::string source = "commands.txt";
  simtools::Profile profile;
  std::string error;
  const bool loaded = profile.Parse(text, source, "profile", &error);
  if (!loaded) {
    // A failure names the file and line, and leaves no half-read profile behind.
    FUZZ_CHECK(error.compare(0, source.size() + 1, source + ":") == 0);
    FUZZ_CHECK(profile.entries().empty());
    return;
  }
  const std::size_t lines = fuzz::CountOf(text, "\n") + 1;
  for (const auto& [command, entry] : profile.entries()) {
    FUZZ_CHECK(!command.empty());
    FUZZ_CHECK(!entry.files.empty());
    for (const std::string& file : entry.files) {
      FUZZ_CHECK(!file.empty() && file.find_first_of(" \t") == std::string::npos);
    }
    FUZZ_CHECK(entry.line >= 1 && static_cast<std::size_t>(entry.line) <= lines);
    // A range line ("ping 10.0.0.{0..255} => ...") gives several commands one line number.
    // Every run of a known command has a recording: past the last one, the last again.
    FUZZ_CHECK(profile.RecordingPath(command, 0).empty() == !profile.Knows(command));
  }

  // A second parse into the same profile starts afresh.
  simtools::Profile again;
  again.Parse(text, source, "profile", &error);
  FUZZ_CHECK(again.Parse(text, source, "profile", &error));
  FUZZ_CHECK(again.entries().size() == profile.entries().size());
}

void CheckCommandLine(const std::string& line) {
  std::string program;
  std::string arguments;
  simtools::SplitCommandLine(line, &program, &arguments);
  FUZZ_CHECK(program.size() + arguments.size() <= line.size());
  FUZZ_CHECK(fuzz::IsCutFrom(line, arguments));
  // Normalising a whole line is normalising its two parts.
  FUZZ_CHECK(simtools::NormaliseCommand(line) == simtools::NormaliseCommand(program, arguments));
}

void CheckConversions(const std::string& text) {
  const std::wstring wide = simtools::Utf8ToWide(text);
  FUZZ_CHECK(wide.size() <= text.size());
  const std::string utf8 = simtools::WideToUtf8(wide);
  // Valid input comes back unchanged; either way the result reads back to the same characters.
  FUZZ_CHECK(simtools::Utf8ToWide(utf8) == wide);
  FUZZ_CHECK(simtools::WideToUtf8(simtools::Utf8ToWide(utf8)) == utf8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::Text(data, size);
  CheckParse(text);
  const std::string firstLine = text.substr(0, text.find('\n'));
  CheckCommandLine(firstLine);
  CheckConversions(text);
  FUZZ_CHECK(simtools::CountLogEntries(text, firstLine) <= fuzz::CountOf(text, "\n") + 1);
  return 0;
}
