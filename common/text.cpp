#include "kestrel/text.h"

#include <cwctype>

#include "kestrel/numbers.h"

namespace kestrel {

namespace {

constexpr std::string_view kTrailingJunk = " \r\n";

// The same trims on a view, so the parsers cut the captured text without copying it.
std::string_view TrimLeftView(std::string_view text, std::string_view set) {
  const std::size_t first = text.find_first_not_of(set);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRightView(std::string_view text, std::string_view set) {
  const std::size_t last = text.find_last_not_of(set);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view FullTrimView(std::string_view text) {
  text = TrimLeftView(text, kLineEnd);
  text = TrimLeftView(text, kBlank);
  // wmic ends its lines with CR CR LF, so a stray CR sits between the blanks and the line end.
  return TrimRightView(text, kTrailingJunk);
}

// The value line of one-column output, before its trailing trim. False when the key or the end
// of the header line is missing.
bool FindColumnValueLine(std::string_view text, std::string_view key, std::string_view& line) {
  const std::size_t keyPos = text.find(key);
  if (keyPos == std::string_view::npos) {
    return false;
  }
  const std::size_t headerEnd = text.find(kLineEnd, keyPos);
  if (headerEnd == std::string_view::npos) {
    return false;  // No value line can follow a header that never ends.
  }
  std::string_view rest = TrimLeftView(text.substr(headerEnd), kLineEnd);
  rest = TrimLeftView(rest, kBlank);
  const std::size_t lineEnd = rest.find(kLineEnd);
  line = lineEnd == std::string_view::npos ? rest : rest.substr(0, lineEnd);
  return true;
}

}  // namespace

std::wstring TrimWhiteSpace(const std::wstring& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::iswspace(static_cast<wint_t>(text[begin]))) {
    ++begin;
  }
  while (end > begin && std::iswspace(static_cast<wint_t>(text[end - 1]))) {
    --end;
  }
  return text.substr(begin, end - begin);
}

void TrimLeft(std::string& text, std::string_view set) {
  const std::size_t first = text.find_first_not_of(set);
  if (first == std::string::npos) {
    text.clear();
  } else {
    text.erase(0, first);
  }
}

void TrimRight(std::string& text, std::string_view set) {
  const std::size_t last = text.find_last_not_of(set);
  if (last == std::string::npos) {
    text.clear();
  } else {
    text.erase(last + 1);
  }
}

void FullTrim(std::string& text) {
  TrimLeft(text, kLineEnd);
  TrimLeft(text, kBlank);
  TrimRight(text, kTrailingJunk);
}

int ParseColumnValue(const std::string& text, std::string_view key, std::string& value) {
  std::string_view line;
  if (!FindColumnValueLine(text, key, line)) {
    return 0;
  }
  line = TrimRightView(line, kTrailingJunk);
  if (line.empty()) {
    return 0;
  }
  value.assign(line);
  return 1;
}

int ParseColumnNumber(const std::string& text, std::string_view key, int& number) {
  std::string value;
  if (ParseColumnValue(text, key, value) == 0) {
    return 0;
  }
  number = AtoI(value);
  return 1;
}

int ParseOsName(const std::string& text, std::string_view key, std::string& value) {
  std::string_view line;
  if (!FindColumnValueLine(text, key, line)) {
    return 0;
  }
  // The value reads "name|system folder|boot partition"; only the name is wanted.
  line = line.substr(0, line.find('|'));
  line = TrimRightView(line, kTrailingJunk);
  if (line.empty()) {
    return 0;
  }
  value.assign(line);
  return 1;
}

bool ScanCursor::MoveTo(std::string_view key) {
  const std::size_t found = text_.find(key, pos_);
  if (found == std::string_view::npos) {
    return false;
  }
  pos_ = found;
  return true;
}

bool ScanCursor::MovePast(std::string_view key) {
  const std::size_t found = text_.find(key, pos_);
  if (found == std::string_view::npos) {
    return false;
  }
  pos_ = found + key.size();
  return true;
}

bool ScanCursor::TakeLine(std::string& value) {
  const std::size_t lineEnd = text_.find(kLineEnd, pos_);
  if (lineEnd == std::string_view::npos) {
    return false;
  }
  value.assign(FullTrimView(text_.substr(pos_, lineEnd - pos_)));
  pos_ = lineEnd;
  return true;
}

bool ScanCursor::EqualsValue(std::string_view key, std::string& value) {
  return MovePast(key) && TakeLine(value);
}

bool ScanCursor::ColonValue(std::string_view key, std::string& value) {
  return MoveTo(key) && MovePast(":") && TakeLine(value);
}

}  // namespace kestrel
