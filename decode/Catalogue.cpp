#include "decode/Catalogue.h"

#include <algorithm>

#include "acquisition/NumberFormat.h"

namespace tracebay::decode {

std::string valueText(const OptionValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* whole = std::get_if<int64_t>(&value)) return std::to_string(*whole);
    return acquisition::decimalText(std::get<double>(value));
}

bool DecoderInfo::readsLines() const {
    return std::find(inputs.begin(), inputs.end(), "logic") != inputs.end();
}

bool DecoderInfo::readsFrom(const DecoderInfo& below) const {
    return std::any_of(inputs.begin(), inputs.end(), [&](const std::string& input) {
        return std::find(below.outputs.begin(), below.outputs.end(), input) != below.outputs.end();
    });
}

const ChannelInfo* DecoderInfo::channel(std::string_view wanted) const {
    const auto found = std::find_if(channels.begin(), channels.end(),
                                    [&](const ChannelInfo& c) { return c.id == wanted; });
    return found == channels.end() ? nullptr : &*found;
}

const OptionInfo* DecoderInfo::option(std::string_view wanted) const {
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const OptionInfo& o) { return o.id == wanted; });
    return found == options.end() ? nullptr : &*found;
}

std::string DecoderInfo::rowOf(int classIndex) const {
    for (const AnnotationRow& row : rows)
        if (std::find(row.classes.begin(), row.classes.end(), classIndex) != row.classes.end())
            return row.desc;
    if (classIndex >= 0 && static_cast<size_t>(classIndex) < classes.size())
        return classes[static_cast<size_t>(classIndex)].desc;
    return {};
}

}  // namespace tracebay::decode
