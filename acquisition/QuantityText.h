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

// How the quantities of a group (a row's levels, its times) are written alike: with one SI
// prefix, the power of ten `power`, and their last digit at the power of ten `lastPlace`.
struct QuantityFormat {
    int power = 0;
    int lastPlace = 0;
};
// The format that shows `largest`, the group's largest magnitude, in at most three significant
// digits and none of the group finer than the decade of `resolution` (0: none).
QuantityFormat quantityFormat(double largest, double resolution, bool prefixed);
// `value` rounded to the format's last place.
double quantityRounded(double value, const QuantityFormat& format);
// Its significant digits there: 3 for 1.60, 1 for 0.80 or 0.
int quantityDigits(double value, const QuantityFormat& format);
// `value` in that format: "1.60 V" and "0.80 V" at 20 mV.
std::string quantityText(double value, const QuantityFormat& format, std::string_view unit);

}  // namespace tracebay::acquisition
