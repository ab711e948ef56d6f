#include "platform/EscapedText.h"

#include <cstdio>

namespace tracebay::platform {
namespace {

unsigned char byteAt(std::string_view text, size_t at) {
    return static_cast<unsigned char>(text[at]);
}

// The length of the well-formed UTF-8 sequence of two bytes or more that starts at `at`; 0 when
// there is none (a stray, overlong or truncated sequence, a surrogate, a code point past 10FFFF).
size_t sequenceLength(std::string_view text, size_t at) {
    const unsigned char lead = byteAt(text, at);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (length == 0 || at + length > text.size()) return 0;
    if (byteAt(text, at + 1) < low || byteAt(text, at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byteAt(text, at + i) < 0x80 || byteAt(text, at + i) > 0xBF) return 0;
    return length;
}

bool isC1Control(std::string_view text, size_t at, size_t length) {
    return length == 2 && byteAt(text, at) == 0xC2 && byteAt(text, at + 1) <= 0x9F;
}

void appendEscaped(std::string& out, std::string_view bytes) {
    for (const char c : bytes) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
        out += escaped;
    }
}

}  // namespace

std::string escapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const unsigned char c = byteAt(text, at);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        const size_t length = c < 0x80 ? 0 : sequenceLength(text, at);
        const size_t taken = length == 0 ? 1 : length;
        if (length == 0 || isC1Control(text, at, length))
            appendEscaped(out, text.substr(at, taken));
        else
            out += text.substr(at, taken);
        at += taken;
    }
    return out;
}

std::string jsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace tracebay::platform
