#include "sim/Faults.h"

#include <charconv>

namespace tracebay::sim {
namespace {

// `value` changes only when the whole text is its number.
template <typename T>
bool number(std::string_view text, T& value) {
    T read{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = read;
    return true;
}

}  // namespace

bool applyFault(Faults& faults, std::string_view fault) {
    const auto equals = fault.find('=');
    const std::string_view name = fault.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? "" : fault.substr(equals + 1);
    if (name == "target")
        faults.target = std::string(value);
    else if (name == "silent")
        faults.silent = true;
    else if (name == "trickle")
        return number(value, faults.trickleMs);
    else if (name == "garbage")
        faults.garbage = true;
    else if (name == "prefix-delta")
        return number(value, faults.prefixDelta);
    else if (name == "split-prefix")
        faults.splitPrefix = true;
    else if (name == "oversize")
        return number(value, faults.oversize);
    else if (name == "wrong-message-id")
        faults.wrongMessageId = true;
    else if (name == "short-packet")
        faults.shortFirstPacket = true;
    else if (name == "disappear")
        faults.disappearMidReply = true;
    else if (name == "absent")
        faults.absent = true;
    else if (name == "denied")
        faults.denied = true;
    else
        return false;
    return true;
}

}  // namespace tracebay::sim
