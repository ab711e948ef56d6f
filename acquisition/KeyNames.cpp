#include "acquisition/KeyNames.h"

#include <algorithm>
#include <cctype>

namespace tracebay::acquisition {

std::optional<std::string_view> keyNamed(std::string_view text) {
    if (!text.empty() && text.front() == ':') text.remove_prefix(1);
    const auto same = [text](std::string_view name) {
        name.remove_prefix(1);
        return std::equal(name.begin(), name.end(), text.begin(), text.end(), [](char a, char b) {
            return a == std::toupper(static_cast<unsigned char>(b));
        });
    };
    const auto found = std::find_if(KeyNames.begin(), KeyNames.end(), same);
    if (found == KeyNames.end()) return std::nullopt;
    return *found;
}

}  // namespace tracebay::acquisition
