#include "link/LeadingNumber.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <string>

namespace tracebay::link {
namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

size_t skipDigits(std::string_view text, size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos;
}

// Length of the longest prefix of `text` that is a decimal number; 0 when there is none.
size_t numberLength(std::string_view text) {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const size_t intStart = pos;
    pos = skipDigits(text, pos);
    size_t digits = pos - intStart;
    if (pos < text.size() && text[pos] == '.') {
        const size_t fracStart = pos + 1;
        const size_t fracEnd = skipDigits(text, fracStart);
        digits += fracEnd - fracStart;
        pos = fracEnd;
    }
    if (digits == 0) return 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t expPos = pos + 1;
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) ++expPos;
        const size_t expEnd = skipDigits(text, expPos);
        if (expEnd > expPos) pos = expEnd;
    }
    return pos;
}

}  // namespace

double leadingNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    const size_t length = numberLength(text);
    if (length == 0) return 0;
    std::string number(text.substr(0, length));
    if (number.front() == '+') number.erase(0, 1);  // from_chars takes no "+"
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large saturates to infinity, too small is zero.
        const auto exponent = number.find_first_of("eE");
        const bool tiny = exponent != std::string::npos && number[exponent + 1] == '-';
        const bool negative = number.front() == '-';
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return value;
}

}  // namespace tracebay::link
