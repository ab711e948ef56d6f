#include "acquisition/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tracebay::acquisition {
namespace {

struct Pattern {
    int minimumIntegerDigits = 0;
    int decimals = 0;
    bool point = false;
    std::string prefix;
    std::string suffix;
    bool percent = false;
};

bool isDigitPlace(char c) { return c == '#' || c == '0'; }

Pattern parsePattern(std::string_view text) {
    Pattern p;
    size_t i = 0;
    while (i < text.size() && !isDigitPlace(text[i]) && text[i] != '.') p.prefix += text[i++];
    for (; i < text.size() && isDigitPlace(text[i]); ++i)
        if (text[i] == '0') ++p.minimumIntegerDigits;
    if (i < text.size() && text[i] == '.') {
        p.point = true;
        for (++i; i < text.size() && isDigitPlace(text[i]); ++i) ++p.decimals;
    }
    p.suffix = std::string(text.substr(i));
    p.percent = (p.prefix + p.suffix).find('%') != std::string::npos;
    return p;
}

// The digits of `magnitude` rounded half away from zero to `decimals` places, as an integer
// count of 10^-decimals written in decimal.
std::string roundedDigits(double magnitude, int decimals) {
    if (magnitude == 0 || !std::isfinite(magnitude)) return "0";
    // d.dddddddddddddde+XX, the same in every locale.
    char text[40];
    const auto written =
        std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    std::string digits;
    for (const char* c = text; *c && *c != 'e'; ++c)
        if (*c != '.') digits += *c;
    const int exponent = std::atoi(std::strchr(text, 'e') + 1);
    const int keep = exponent + 1 + decimals;  // digits that stay
    if (keep < 0) return "0";
    std::string kept = keep <= static_cast<int>(digits.size()) ? digits.substr(0, keep) : digits;
    kept.resize(static_cast<size_t>(keep), '0');
    const bool roundUp = keep < static_cast<int>(digits.size()) && digits[keep] >= '5';
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') kept[i--] = '0';
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i];
    }
    const auto first = kept.find_first_not_of('0');
    return first == std::string::npos ? "0" : kept.substr(first);
}

}  // namespace

std::string formatNumber(double value, std::string_view pattern) {
    const Pattern p = parsePattern(pattern);
    if (p.percent) value *= 100;
    std::string digits = roundedDigits(std::abs(value), p.decimals);
    if (static_cast<int>(digits.size()) <= p.decimals)
        digits.insert(0, static_cast<size_t>(p.decimals + 1) - digits.size(), '0');
    std::string integer = digits.substr(0, digits.size() - static_cast<size_t>(p.decimals));
    const std::string fraction = digits.substr(integer.size());
    if (integer == "0") integer.clear();
    if (static_cast<int>(integer.size()) < p.minimumIntegerDigits)
        integer.insert(0, static_cast<size_t>(p.minimumIntegerDigits) - integer.size(), '0');
    std::string result = p.prefix;
    if (value < 0) result += '-';
    result += integer;
    if (p.point) result += "." + fraction;
    return result + p.suffix;
}

std::string decimalText(double value) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(),
                                       value == 0 ? 0.0 : value, std::chars_format::general, 10);
    return std::string(text.data(), written.ptr);
}

}  // namespace tracebay::acquisition
