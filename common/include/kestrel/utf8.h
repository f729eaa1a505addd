// UTF-8 to wide text and back, without the platform: the toolkit's layouts and resources, the
// simulated tools' command lines and logs. Wide text is UTF-16 on Windows and UTF-32 elsewhere;
// code pages other than UTF-8 go through ICodePage (kestrel/codepage.h).
#pragma once

#include <string>

namespace kestrel {

// Invalid units (lone surrogates, values past U+10FFFF) become U+FFFD rather than stopping the
// conversion.
std::string WideToUtf8(const std::wstring& text);
// Broken, cut and overlong sequences and encoded surrogates become one U+FFFD a byte.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace kestrel
