#include "acquisition/ValueText.h"

#include <array>
#include <charconv>
#include <initializer_list>

#include "acquisition/NumberFormat.h"
#include "link/LeadingNumber.h"

namespace tracebay::acquisition {
namespace {

// Every comparison is made in single precision, as the instrument's values are singles.
float single(double value) { return static_cast<float>(value); }

float readSingle(std::string_view numberText) { return single(link::leadingNumber(numberText)); }

// The three patterns of a unit, largest first, for thresholds 99.999.., 9.9999.., 0.99999..
constexpr std::array<const char*, 3> ThreeDigits = {"###", "##.0", "#.00"};

// A unit of the volt texts: its thresholds are 99.999, 9.9999 and 0.99999 times `size`; its
// value is x * multiplier / divisor plus a small nudge against rounding down.
struct VoltUnit {
    double size;
    double multiplier;
    double divisor;
    double negativeNudge;  // -0.001 for kV and mV, +0.001 for V and uV
    const char* unit;
};

constexpr VoltUnit VoltUnits[] = {{1000, 1, 1000, -0.001, "kV"},
                                  {1, 1, 1, 0.001, "V"},
                                  {0.001, 1000, 1, -0.001, "mV"},
                                  {0.000001, 1000000, 1, 0.001, "uV"}};
constexpr double VoltFractions[] = {99.999, 9.9999, 0.99999};

std::string voltText(const VoltUnit& u, float x, int i, double nudge) {
    return formatNumber(x * u.multiplier / u.divisor + nudge, ThreeDigits[i]) + u.unit;
}

std::string voltPositive(float x) {
    if (x >= single(9999900)) return "??.?V";
    if (x >= single(999990)) return formatNumber(x / 1000000.0 + 0.001, "#.00") + "MV";
    for (const auto& u : VoltUnits)
        for (int i = 0; i < 3; ++i)
            if (x >= single(VoltFractions[i] * u.size)) return voltText(u, x, i, 0.001);
    return "0.00uV";
}

// Negative values have no "MV" range.
std::string voltNegative(float x) {
    if (x <= single(-999990)) return "??.?V";
    for (const auto& u : VoltUnits)
        for (int i = 0; i < 3; ++i)
            if (x <= single(-VoltFractions[i] * u.size)) return voltText(u, x, i, u.negativeNudge);
    return "0.00uV";
}

// A unit prefix as a power of ten. The small ones divide: 2.250 / 1000 is the double nearest
// to 0.00225, which 2.250 * 1e-3 is not always, and a marker placed from it may move a pixel.
struct Prefix {
    char letter;
    double power;
    bool divides;
    double apply(double n) const { return divides ? n / power : n * power; }
};

struct ParseRule {
    char unit;
    std::initializer_list<Prefix> prefixes;
};

ParsedValue parse(std::string_view text, const ParseRule& rule, bool checkMarks) {
    if (checkMarks && text.find_first_of("><*") != std::string_view::npos) return {};
    const std::string trimmed = checkMarks ? TrimAtLineFeed(text) : std::string(text);
    const auto p = trimmed.find(rule.unit);
    const char prefix = p != std::string::npos && p > 0 ? trimmed[p - 1] : '\0';
    for (const Prefix& known : rule.prefixes)
        if (prefix == known.letter)
            return {known.apply(link::leadingNumber(trimmed.substr(0, p - 1))), true};
    if (prefix >= '0' && prefix <= '9') return {link::leadingNumber(trimmed.substr(0, p)), true};
    return {};
}

constexpr Prefix Pico{'p', 1e12, true};
constexpr Prefix Nano{'n', 1e9, true};
constexpr Prefix Micro{'u', 1e6, true};
constexpr Prefix Milli{'m', 1000, true};
constexpr Prefix Kilo{'k', 1000, false};
constexpr Prefix Mega{'M', 1e6, false};

const ParseRule SmallVolts{'V', {Pico, Nano, Micro, Milli}};
const ParseRule Seconds{'s', {Pico, Nano, Micro, Milli}};
const ParseRule Volts{'V', {Micro, Milli, Kilo, Mega}};

}  // namespace

std::string VoltToText(std::string_view numberText) {
    const float x = readSingle(numberText);
    if (x > single(-0.00000099999)) return voltPositive(x);
    return voltNegative(x);
}

std::string TimeToText(std::string_view numberText) {
    const float x = readSingle(numberText);
    const struct {
        double size;
        const char* unit;
    } units[] = {{1, "s"}, {1e-3, "ms"}, {1e-6, "us"}, {1e-9, "ns"}, {1e-12, "ps"}};
    const double fractions[] = {99.999, 9.9999, 0.99999};
    const char* patterns[] = {"###.0", "##.00", "#.000"};
    const double sign = x < 0 ? -1 : 1;
    for (const auto& u : units)
        for (int i = 0; i < 3; ++i) {
            const float threshold = single(sign * fractions[i] * u.size);
            if (x < 0 ? x <= threshold : x >= threshold)
                return formatNumber(x / u.size, patterns[i]) + u.unit;
        }
    return "0.000s";
}

std::string FreqToText(std::string_view numberText) {
    const float x = readSingle(numberText);
    if (x >= single(999999990000.0)) return "??.???";
    const struct {
        double size;
        const char* unit;
    } units[] = {{1e9, "GHz"}, {1e6, "MHz"}, {1e3, "kHz"}, {1, "Hz"}, {1e-3, "mHz"}};
    const double fractions[] = {99.999999, 9.9999999, 0.99999999};
    const char* patterns[] = {"#000.0", "#00.00", "#0.000"};
    for (const auto& u : units)
        for (int i = 0; i < 3; ++i)
            if (x >= single(fractions[i] * u.size))
                return formatNumber(x / u.size, patterns[i]) + u.unit;
    return "??.???";
}

std::string DbToText(std::string_view numberText) {
    const float x = readSingle(numberText);
    if (x >= single(9999.9)) return "****dB";
    if (x <= single(-9999.9)) return "-****dB";
    const char* pattern = "#0.00dB";
    if (x >= single(99.999) || x <= single(-99.999))
        pattern = "#000.0dB";
    else if (x >= single(9.9999) || x <= single(-9.9999))
        pattern = "#00.0dB";
    return formatNumber(x, pattern);
}

std::string TrimAtLineFeed(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

ParsedValue ParseSmallVoltText(std::string_view text) { return parse(text, SmallVolts, true); }
ParsedValue ParseTimeText(std::string_view text) { return parse(text, Seconds, true); }
ParsedValue ParseVoltText(std::string_view text) { return parse(text, Volts, true); }
double GetTimeVlu(std::string_view text) { return parse(text, Seconds, false).value; }

std::string ConvertVoltToStr(double volts) {
    if (volts < 1) return formatNumber(volts * 1000, "0.0") + "mV";
    return formatNumber(volts, "0.0") + "V";
}

std::string ConvertTimeToStr(double& seconds) {
    const struct {
        double size;
        double multiplier;
        const char* unit;
    } units[] = {
        {1, 1, "s"}, {1e-3, 1e3, "ms"}, {1e-6, 1e6, "us"}, {1e-9, 1e9, "ns"}, {1e-12, 1e12, "ps"}};
    for (const auto& u : units)
        if (seconds >= u.size) {
            seconds *= u.multiplier;
            return formatNumber(seconds, "0.00") + u.unit;
        }
    return seconds == 0 ? "0.000s" : "";
}

std::string ConvertFreqToStr(double& hertz) {
    const struct {
        double size;
        const char* unit;
    } units[] = {{1e9, "GHz"}, {1e6, "MHz"}, {1e3, "KHz"}};
    for (const auto& u : units)
        if (hertz >= u.size) {
            hertz /= u.size;
            return formatNumber(hertz, "0.00") + u.unit;
        }
    return formatNumber(hertz, "0.00") + "Hz";
}

std::string singleText(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                       std::chars_format::general, 7);
    return std::string(text, written.ptr);
}

}  // namespace tracebay::acquisition
