#include "decode/DecoderSpec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "acquisition/NumberFormat.h"

namespace tracebay::decode {
namespace {

// A spec comes from a user or from the settings file: bounded.
constexpr size_t LongestSpec = 1024;
constexpr size_t MostDecoders = 8;

const char* const SourceNames = "D0 ... D15, CH1, CH2, or CH1@1.5 for a level in volts";

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

template <typename Number>
std::optional<Number> number(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end) return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>)
        if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool plainName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

std::optional<DecoderSetting> parseDecoder(std::string_view text, std::string& error) {
    const std::vector<std::string_view> parts = split(text, ':');
    if (!plainName(parts.front())) {
        error = "\"" + std::string(text) + "\" names no decoder";
        return std::nullopt;
    }
    DecoderSetting setting{std::string(parts.front()), {}};
    for (size_t i = 1; i < parts.size(); ++i) {
        const size_t equals = parts[i].find('=');
        if (equals == std::string_view::npos || !plainName(parts[i].substr(0, equals))) {
            error = setting.decoder + ": \"" + std::string(parts[i]) + "\" is no name=value";
            return std::nullopt;
        }
        setting.values.emplace_back(parts[i].substr(0, equals), parts[i].substr(equals + 1));
    }
    return setting;
}

// An option's value of the kind of its default.
std::optional<OptionValue> typedValue(const OptionValue& kind, const std::string& text) {
    if (std::holds_alternative<int64_t>(kind)) {
        if (const auto whole = number<int64_t>(text)) return *whole;
        return std::nullopt;
    }
    if (std::holds_alternative<double>(kind)) {
        if (const auto real = number<double>(text)) return *real;
        return std::nullopt;
    }
    return text;
}

const char* kindName(const OptionValue& kind) {
    if (std::holds_alternative<int64_t>(kind)) return "a whole number";
    if (std::holds_alternative<double>(kind)) return "a number";
    return "a text";
}

std::string listed(const std::vector<OptionValue>& values) {
    std::string list;
    for (const OptionValue& v : values) list += (list.empty() ? "" : ", ") + valueText(v);
    return list;
}

std::optional<OptionValue> optionValue(const DecoderInfo& decoder, const OptionInfo& option,
                                       const std::string& text, std::string& error) {
    const std::string where = decoder.id + ": " + option.id;
    const auto value = typedValue(option.defaultValue, text);
    if (!value) {
        error = where + " takes " + kindName(option.defaultValue) + ", not \"" + text + "\"";
        return std::nullopt;
    }
    if (!option.values.empty() &&
        std::find(option.values.begin(), option.values.end(), *value) == option.values.end()) {
        error = where + " takes one of " + listed(option.values) + ", not \"" + text + "\"";
        return std::nullopt;
    }
    return value;
}

class Resolver {
public:
    Resolver(const DecoderInfo& decoder, std::string& error) : decoder_(decoder), error_(error) {}

    std::optional<DecoderUse> use(const DecoderSetting& setting) {
        DecoderUse use{decoder_.id, {}, {}};
        for (const auto& [key, text] : setting.values)
            if (!take(use, key, text)) return std::nullopt;
        if (!channelsComplete(use)) return std::nullopt;
        return use;
    }

private:
    bool take(DecoderUse& use, const std::string& key, const std::string& text) {
        if (given(use, key)) return refuse(key + " is given twice");
        if (decoder_.channel(key)) {
            const auto source = channelSource(text);
            if (!source) return refuse(key + "=" + text + " names no line (" + SourceNames + ")");
            use.channels.emplace_back(key, *source);
            return true;
        }
        if (const OptionInfo* option = decoder_.option(key)) {
            const auto value = optionValue(decoder_, *option, text, error_);
            if (value) use.options.emplace_back(key, *value);
            return value.has_value();
        }
        return refuse("it has no channel or option named \"" + key + "\"");
    }

    static bool given(const DecoderUse& use, const std::string& key) {
        const auto named = [&](const auto& entry) { return entry.first == key; };
        return std::any_of(use.channels.begin(), use.channels.end(), named) ||
               std::any_of(use.options.begin(), use.options.end(), named);
    }

    // Every channel it needs, and at least one where all of them are optional.
    bool channelsComplete(const DecoderUse& use) {
        std::string names;
        for (const ChannelInfo& channel : decoder_.channels) {
            const bool set = std::any_of(use.channels.begin(), use.channels.end(),
                                         [&](const auto& c) { return c.first == channel.id; });
            if (channel.required && !set) return refuse("it needs its channel " + channel.id);
            names += (names.empty() ? "" : ", ") + channel.id;
        }
        if (decoder_.channels.empty() || !use.channels.empty()) return true;
        return refuse("it needs at least one of its channels " + names);
    }

    bool refuse(const std::string& why) {
        error_ = decoder_.id + ": " + why;
        return false;
    }

    const DecoderInfo& decoder_;
    std::string& error_;
};

// The first decoder reads the lines; each one after it what the one before gives.
bool fitsBelow(const DecoderInfo* below, const DecoderInfo& decoder, std::string& error) {
    if (!below) {
        if (decoder.readsLines()) return true;
        error = decoder.id + " reads what another decoder gives: write it after one, as in \"" +
                (decoder.inputs.empty() ? std::string("uart") : decoder.inputs.front()) + ":...," +
                decoder.id + "\"";
        return false;
    }
    if (decoder.readsFrom(*below)) return true;
    error = decoder.id + " cannot read what " + below->id + " gives";
    return false;
}

}  // namespace

std::string ChannelSource::text() const {
    if (isLine()) return "D" + std::to_string(number);
    std::string name = "CH" + std::to_string(number);
    if (level) name += "@" + acquisition::decimalText(*level);
    return name;
}

std::optional<ChannelSource> channelSource(std::string_view text) {
    if (text.size() >= 2 && text.front() == 'D') {
        const auto line = number<int>(text.substr(1));
        if (!line || *line < 0 || *line > 15 || (text.size() > 2 && text[1] == '0')) return {};
        return ChannelSource{ChannelSource::Kind::Line, *line, std::nullopt};
    }
    const std::string_view name = text.substr(0, text.find('@'));
    if (name != "CH1" && name != "CH2") return std::nullopt;
    ChannelSource source{ChannelSource::Kind::Channel, name == "CH1" ? 1 : 2, std::nullopt};
    if (name.size() == text.size()) return source;
    source.level = number<double>(text.substr(name.size() + 1));
    if (!source.level) return std::nullopt;
    return source;
}

std::optional<StackSpec> parseStack(std::string_view text, std::string& error) {
    if (text.size() > LongestSpec) {
        error =
            "a decoder stack is written in at most " + std::to_string(LongestSpec) + " characters";
        return std::nullopt;
    }
    StackSpec spec{std::string(text), {}};
    // Blanks after a comma, as a hand-edited settings file gives them, are no part of a name.
    for (std::string_view part : split(text, ',')) {
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        auto decoder = parseDecoder(part, error);
        if (!decoder) return std::nullopt;
        spec.decoders.push_back(std::move(*decoder));
    }
    if (spec.decoders.size() > MostDecoders) {
        error = "a stack holds at most " + std::to_string(MostDecoders) + " decoders";
        return std::nullopt;
    }
    return spec;
}

std::vector<ChannelSource> Stack::sources() const {
    std::vector<ChannelSource> found;
    for (const DecoderUse& use : decoders)
        for (const auto& [id, source] : use.channels)
            if (std::find(found.begin(), found.end(), source) == found.end())
                found.push_back(source);
    return found;
}

std::optional<Stack> resolveStack(const StackSpec& spec, const DecoderLookup& lookup,
                                  std::string& error) {
    Stack stack{spec.text, {}};
    const DecoderInfo* below = nullptr;
    for (const DecoderSetting& setting : spec.decoders) {
        const DecoderInfo* decoder = lookup(setting.decoder);
        if (!decoder) {
            error = "no decoder is named \"" + setting.decoder + "\"";
            return std::nullopt;
        }
        if (!fitsBelow(below, *decoder, error)) return std::nullopt;
        auto use = Resolver(*decoder, error).use(setting);
        if (!use) return std::nullopt;
        stack.decoders.push_back(std::move(*use));
        below = decoder;
    }
    return stack;
}

}  // namespace tracebay::decode
