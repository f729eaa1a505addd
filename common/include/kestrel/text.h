// Reading values out of captured command output: trims, the one-column WMIC parsers and the
// forward-moving scan cursor of the key/value listings. Pure functions of their text; they never
// read past it and never throw.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kBlank = " ";
inline constexpr std::string_view kLineEnd = "\r\n";

// Removes the leading characters that belong to `set`.
void TrimLeft(std::string& text, std::string_view set);
// Removes the trailing characters that belong to `set`.
void TrimRight(std::string& text, std::string_view set);
// Leading CR/LF then blanks, then trailing blanks and CR/LF in any mix.
void FullTrim(std::string& text);
// Wide text without its leading and trailing white space (std::iswspace), for the values of
// layouts and style definitions.
std::wstring TrimWhiteSpace(const std::wstring& text);

// One-column output: a header line holding `key`, then one value line. 1 with the trimmed value,
// 0 when the key is missing or the value is empty.
int ParseColumnValue(const std::string& text, std::string_view key, std::string& value);
// As ParseColumnValue, the value converted like atoi (0 for a value without digits).
int ParseColumnNumber(const std::string& text, std::string_view key, int& number);
// As ParseColumnValue, the value cut before its first "|".
int ParseOsName(const std::string& text, std::string_view key, std::string& value);

// The cursor text of the scanning patterns: every search starts where the previous one left
// off, so a key that stands only before the cursor is not found. The cursor views the captured
// text, which must outlive it.
class ScanCursor {
 public:
  explicit ScanCursor(std::string_view text) : text_(text) {}

  // Moves the cursor to the start of `key`. False (cursor unchanged) when it is not found.
  bool MoveTo(std::string_view key);
  // Moves the cursor just past `key`. False (cursor unchanged) when it is not found.
  bool MovePast(std::string_view key);
  // The text up to the next "\r\n", full-trimmed; the cursor moves to that "\r\n".
  // False (cursor and value unchanged) when no line end follows.
  bool TakeLine(std::string& value);

  // Equals form: `key` includes its "=" ("Name="). Past the key, then TakeLine.
  bool EqualsValue(std::string_view key, std::string& value);
  // Colon form: to the key word, past the next ":", then TakeLine.
  bool ColonValue(std::string_view key, std::string& value);
  // Both forms are their steps in order: when one step fails, the cursor stays where the steps
  // before it moved it (so a loop that asks again always makes progress) and `value` is unchanged.

  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace kestrel
