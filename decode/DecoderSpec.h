#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decode/Catalogue.h"

namespace tracebay::decode {

// Where a decoder's channel comes from: a logic line D0..D15, or CH1 or CH2 through a threshold.
struct ChannelSource {
    enum class Kind { Line, Channel };
    Kind kind = Kind::Line;
    int number = 0;  // k of Dk; 1 or 2 for CH1, CH2
    // Volts; none: half-way between the channel's base and top.
    std::optional<double> level;

    bool isLine() const { return kind == Kind::Line; }
    // "D0", "CH1", "CH1@1.5".
    std::string text() const;
    bool operator==(const ChannelSource&) const = default;
};

// "D0" ... "D15", "CH1", "CH2", "CH1@1.5" (a level in volts); nothing for another text.
std::optional<ChannelSource> channelSource(std::string_view text);

// One decoder of a stack as written, "uart:rx=D0:baudrate=9600": its id and its settings, each
// a channel or an option, in order.
struct DecoderSetting {
    std::string decoder;
    std::vector<std::pair<std::string, std::string>> values;
};

// A stack as written: decoders separated by commas, each reading what the one before gives,
// "i2c:scl=D1:sda=D2,eeprom24xx".
struct StackSpec {
    std::string text;
    std::vector<DecoderSetting> decoders;
};

// Nothing, with the reason in `error`, for a text that is no stack.
std::optional<StackSpec> parseStack(std::string_view text, std::string& error);

// A decoder of a stack as the library takes it.
struct DecoderUse {
    std::string decoder;
    std::vector<std::pair<std::string, ChannelSource>> channels;
    std::vector<std::pair<std::string, OptionValue>> options;
};

struct Stack {
    std::string text;
    std::vector<DecoderUse> decoders;
    // The lines and channels its channels come from, each once, in order.
    std::vector<ChannelSource> sources() const;
};

// The library's description of a decoder; nullptr when it has none by that id.
using DecoderLookup = std::function<const DecoderInfo*(const std::string& id)>;

// The stack with each setting checked against the decoder's own lists; nothing, with the reason
// in `error`, for an unknown decoder, channel, option or option value, a channel missing, or a
// decoder that cannot read what the one before it gives.
std::optional<Stack> resolveStack(const StackSpec& spec, const DecoderLookup& lookup,
                                  std::string& error);

}  // namespace tracebay::decode
