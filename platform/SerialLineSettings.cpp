#include "platform/SerialLineSettings.h"

#include <charconv>
#include <vector>

namespace tracebay::platform {
namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> result;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        result.push_back(trimmed(text.substr(start, comma - start)));
        if (comma == std::string::npos) return result;
        start = comma + 1;
    }
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<SerialLineSettings::Parity> parityFromLetter(const std::string& text) {
    using P = SerialLineSettings::Parity;
    if (text.size() != 1) return std::nullopt;
    switch (text[0]) {
        case 'n':
        case 'N': return P::None;
        case 'e':
        case 'E': return P::Even;
        case 'o':
        case 'O': return P::Odd;
        case 'm':
        case 'M': return P::Mark;
        case 's':
        case 'S': return P::Space;
        default: return std::nullopt;
    }
}

std::optional<SerialLineSettings::StopBits> stopBitsFromText(const std::string& text) {
    using S = SerialLineSettings::StopBits;
    if (text == "1") return S::One;
    if (text == "1.5") return S::OneAndHalf;
    if (text == "2") return S::Two;
    return std::nullopt;
}

ParsedLineSettings refused(const std::string& text, const std::string& why) {
    return {std::nullopt, "Invalid port settings \"" + text + "\": " + why};
}

}  // namespace

ParsedLineSettings parseLineSettings(const std::string& text) {
    const auto parts = fields(text);
    if (parts.size() != 4)
        return refused(text, "expected baud rate, parity, data bits and stop bits");
    SerialLineSettings settings;
    const auto baud = baudRateFromText(parts[0]);
    if (!baud)
        return refused(text, "the baud rate must be a whole number from " +
                                 std::to_string(MinBaudRate) + " to " +
                                 std::to_string(MaxBaudRate));
    settings.baud = *baud;
    const auto parity = parityFromLetter(parts[1]);
    if (!parity) return refused(text, "the parity must be one of n, e, o, m, s");
    settings.parity = *parity;
    const auto dataBits = wholeNumber(parts[2]);
    if (!dataBits || *dataBits < 5 || *dataBits > 8)
        return refused(text, "the data bits must be 5 to 8");
    settings.dataBits = *dataBits;
    const auto stopBits = stopBitsFromText(parts[3]);
    if (!stopBits) return refused(text, "the stop bits must be 1, 1.5 or 2");
    settings.stopBits = *stopBits;
    return {settings, {}};
}

std::optional<int> baudRateFromText(const std::string& text) {
    const auto baud = wholeNumber(trimmed(text));
    if (!baud || *baud < MinBaudRate || *baud > MaxBaudRate) return std::nullopt;
    return baud;
}

std::string portDeviceName(int commPort, const std::string& devicePath) {
    if (!devicePath.empty()) return devicePath;
#ifdef _WIN32
    return "COM" + std::to_string(commPort);
#else
    return "/dev/ttyS" + std::to_string(commPort - 1);
#endif
}

}  // namespace tracebay::platform
