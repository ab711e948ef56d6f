#include "acquisition/QuantityText.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "acquisition/NumberFormat.h"

namespace tracebay::acquisition {
namespace {

constexpr int MaxDigits = 3;

// The prefixes by power of ten, from pico (-12) to giga (9).
constexpr std::array<std::string_view, 8> Prefixes = {"p", "n", "u", "m", "", "k", "M", "G"};
constexpr int LowestPower = -12;
constexpr int HighestPower = 9;
// Beyond these magnitudes powers of ten leave the range of a double; no screen gives such
// figures, only a damaged upload.
constexpr double Tiny = 1e-290;
constexpr double Huge = 1e290;

int decade(double value) { return static_cast<int>(std::floor(std::log10(std::abs(value)))); }

// `value` rounded to `digits` significant digits.
double roundedTo(double value, int digits) {
    const double unit = std::pow(10.0, decade(value) - digits + 1);
    return std::round(value / unit) * unit;
}

std::string decimalsPattern(int decimals) {
    return decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
}

}  // namespace

std::string quantityText(double value, double resolution, std::string_view unit, bool prefixed) {
    if (!std::isfinite(value) || std::abs(value) > Huge) return std::string(NoQuantity);
    if (std::abs(value) < Tiny) value = 0;
    int digits = MaxDigits;
    if (value != 0 && resolution >= Tiny && resolution <= Huge) {
        const int finest = decade(resolution);
        digits = std::min(decade(value) - finest + 1, MaxDigits);
        if (digits < 1) {
            // Less than a step: a step or nothing.
            const double step = std::pow(10.0, finest);
            value = std::abs(value) >= step / 2 ? std::copysign(step, value) : 0;
            digits = 1;
        }
    }
    if (value == 0) return "0 " + std::string(unit);
    // Rounding up to the next decade (0.996 to 1.00) keeps the last digit's place.
    const int lastPlace = decade(value) - digits + 1;
    value = roundedTo(value, digits);
    digits = std::min(decade(value) - lastPlace + 1, MaxDigits);
    const int power = prefixed ? std::clamp(decade(value) - ((decade(value) % 3) + 3) % 3,
                                            LowestPower, HighestPower)
                               : 0;
    const int decimals = std::max(0, digits - 1 - (decade(value) - power));
    const std::string prefix = prefixed ? std::string(Prefixes[(power - LowestPower) / 3]) : "";
    return formatNumber(value / std::pow(10.0, power), decimalsPattern(decimals)) + " " + prefix +
           std::string(unit);
}

}  // namespace tracebay::acquisition
