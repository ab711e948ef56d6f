#pragma once

#include <string_view>

namespace tracebay::link {

// The number a text begins with: leading blanks skipped, then the longest prefix that forms a
// decimal number with optional sign, point and exponent ("e" or "E"); 0 when there is none.
// The point is always "."; the result does not depend on the process locale.
double leadingNumber(std::string_view text);

}  // namespace tracebay::link
