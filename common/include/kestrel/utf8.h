// UTF-8 to wide text and back, without the platform: the toolkit's layouts and resources, the
// simulated tools' command lines and logs, the server's checks of what it is sent. Wide text is
// UTF-16 on Windows and UTF-32 elsewhere; code pages other than UTF-8 go through ICodePage
// (kestrel/codepage.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel {

// Invalid units (lone surrogates, values past U+10FFFF) become U+FFFD rather than stopping the
// conversion.
std::string WideToUtf8(const std::wstring& text);
// Broken, cut and overlong sequences and encoded surrogates become one U+FFFD a byte.
std::wstring Utf8ToWide(const std::string& text);

// The length (1 to 4) of the well-formed sequence that starts `text`, its code point in
// `codePoint`; 0 for an empty text and for bytes that are broken, cut, overlong, an encoded
// surrogate or past U+10FFFF there. The one UTF-8 decoder of the tree: the other readers step
// through text with it.
std::size_t DecodeUtf8(std::string_view text, char32_t* codePoint);
// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace kestrel
