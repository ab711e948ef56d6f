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

namespace {

int engineeringPower(int decadeOfValue) {
    return std::clamp(decadeOfValue - ((decadeOfValue % 3) + 3) % 3, LowestPower, HighestPower);
}

bool usable(double magnitude) { return magnitude >= Tiny && magnitude <= Huge; }

}  // namespace

QuantityFormat quantityFormat(double largest, double resolution, bool prefixed) {
    largest = std::abs(largest);
    const bool resolved = usable(resolution);
    if (!usable(largest)) {
        // Nothing but zeros: as a figure of three digits at this resolution would read.
        const int place = resolved ? decade(resolution) : 0;
        return {prefixed ? engineeringPower(place + MaxDigits - 1) : 0, place};
    }
    int lastPlace = decade(largest) - MaxDigits + 1;
    if (resolved) lastPlace = std::max(lastPlace, decade(resolution));
    QuantityFormat format{0, lastPlace};
    const double rounded = quantityRounded(largest, format);
    if (rounded == 0)
        return {prefixed ? engineeringPower(lastPlace + MaxDigits - 1) : 0, lastPlace};
    // Rounding up to the next decade (999.6 to 1000) keeps three digits.
    if (decade(rounded) - lastPlace + 1 > MaxDigits)
        format.lastPlace = decade(rounded) - MaxDigits + 1;
    format.power = prefixed ? engineeringPower(decade(rounded)) : 0;
    return format;
}

double quantityRounded(double value, const QuantityFormat& format) {
    const double unit = std::pow(10.0, format.lastPlace);
    const double rounded = std::round(value / unit) * unit;
    return rounded == 0 ? 0.0 : rounded;
}

int quantityDigits(double value, const QuantityFormat& format) {
    const double rounded = quantityRounded(value, format);
    return rounded == 0 ? 1 : std::max(1, decade(rounded) - format.lastPlace + 1);
}

std::string quantityText(double value, const QuantityFormat& format, std::string_view unit) {
    if (!std::isfinite(value) || std::abs(value) > Huge) return std::string(NoQuantity);
    const double rounded = quantityRounded(value, format);
    const int decimals = std::max(0, format.power - format.lastPlace);
    const std::string prefix(Prefixes[static_cast<size_t>((format.power - LowestPower) / 3)]);
    return formatNumber(rounded / std::pow(10.0, format.power), decimalsPattern(decimals)) + " " +
           prefix + std::string(unit);
}

}  // namespace tracebay::acquisition
