#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tracebay::decode {

// An option's value as a decoder takes it: text, a whole number or a real number.
using OptionValue = std::variant<std::string, int64_t, double>;

// The value as a decoder spec writes it: "none", "9600", "1.5".
std::string valueText(const OptionValue& value);

struct ChannelInfo {
    std::string id;  // "rx"
    std::string name;
    std::string desc;
    bool required = false;
};

struct OptionInfo {
    std::string id;  // "baudrate"
    std::string desc;
    OptionValue defaultValue;
    // The only values it takes; empty when any value of the default's kind will do.
    std::vector<OptionValue> values;
};

struct AnnotationClass {
    std::string id;  // "rx-data"
    std::string desc;
};

// A line of a decoder's annotations, with the classes shown on it (indices into `classes`).
struct AnnotationRow {
    std::string id;
    std::string desc;
    std::vector<int> classes;
};

// A decoder of the library, as its own lists describe it.
struct DecoderInfo {
    std::string id;  // "uart"
    std::string name;
    std::string longname;
    std::string desc;
    // "logic" for a decoder of sample lines; else what the decoder below it must give ("i2c").
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<ChannelInfo> channels;  // the required ones first
    std::vector<OptionInfo> options;
    std::vector<AnnotationClass> classes;
    std::vector<AnnotationRow> rows;

    bool readsLines() const;
    // Whether this decoder reads what `below` gives.
    bool readsFrom(const DecoderInfo& below) const;
    const ChannelInfo* channel(std::string_view id) const;
    const OptionInfo* option(std::string_view id) const;
    // The description of the line a class is shown on: its row's, or the class's own.
    std::string rowOf(int classIndex) const;
};

}  // namespace tracebay::decode
