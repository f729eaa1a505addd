// Number conversions with the C runtime's leniency (leading blanks skipped, digits up to the
// first other character, 0 for no digits) but without its undefined behaviour: values beyond
// the type saturate at its limits, and nothing depends on the process locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

int AtoI(std::string_view text);
std::int64_t AtoI64(std::string_view text);
double AtoF(std::string_view text);

// Decimal text of a signed 64-bit number.
std::string FormatInt64(std::int64_t value);

}  // namespace kestrel
