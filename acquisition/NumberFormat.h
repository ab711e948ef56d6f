#pragma once

#include <string>
#include <string_view>

namespace tracebay::acquisition {

// A number written with a pattern such as "#.00", "###", "#0.00dB" or "0%": "0" is a digit
// always shown, "#" a digit shown only when significant, one "." the decimal point (always
// "."), any other character is written as it stands; "%" also takes the value times 100. The
// value is rounded half away from zero on its 15-digit decimal form, and a negative value gets a
// leading "-".
std::string formatNumber(double value, std::string_view pattern);

// A number as the files write it: its shortest form with ten significant digits at most (the
// instrument's 8-bit rows never need more, and sums such as 4 * 0.03 do not show their binary
// tails), -0 as 0.
std::string decimalText(double value);

}  // namespace tracebay::acquisition
