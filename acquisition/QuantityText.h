#pragma once

#include <string>
#include <string_view>

namespace tracebay::acquisition {

// What a quantity that cannot be determined reads as.
inline constexpr std::string_view NoQuantity = "\u2014";

// A number as a person reads it: rounded to the decade of `resolution` (the finest step the
// screen shows; 0 for none), at most three significant digits, "." as the decimal point, then a
// blank, an SI prefix where `prefixed` ("u" for micro) and the unit: "1.60 V", "500 us".
std::string quantityText(double value, double resolution, std::string_view unit, bool prefixed);

}  // namespace tracebay::acquisition
