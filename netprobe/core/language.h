// The language of the tools' localised output, which decides the keywords the readers look for.
// The engine takes it from the ANSI code page (936: Chinese).
#pragma once

namespace netprobe {

inline constexpr int kLanguageChinese = 1;
inline constexpr int kLanguageOther = 2;

}  // namespace netprobe
