// Text values of the report documents as JSON string contents, in the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "core/shared.h"

namespace netprobe {

// Whether `byte` starts a two-byte character in the double-byte code pages (932, 936, 949, 950);
// always false for the single-byte ones.
bool IsLeadByte(unsigned codePage, unsigned char byte);
// Whether `byte` can follow a lead byte of that page.
bool IsTrailByte(unsigned codePage, unsigned char byte);

// Appends `text` between double quotes. Double quotes, backslashes and control characters are
// escaped as JSON requires, judged on characters: the trail byte of a double-byte character is
// copied as it is, even when its value is a backslash. A lead byte without its trail byte cannot
// be converted to UTF-8 and would swallow the byte after it there, so it becomes "?". So does a
// pair the page has no character for: a converter may replace only its lead byte and leave a
// trail byte 0x5C standing as a lone backslash. Which pairs convert is asked of `pages`, the
// service that converts the document when it is sent.
void AppendJsonString(std::string& out, std::string_view text, const ICodePage& pages);

}  // namespace netprobe
