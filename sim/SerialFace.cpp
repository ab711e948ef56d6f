#include "sim/SerialFace.h"

namespace tracebay::sim {
namespace {

const std::string Garbage = "\xfe\x13#?garbage\x01";

std::vector<SerialWrite> trickled(const std::string& bytes, int delayMs) {
    std::vector<SerialWrite> writes;
    for (char byte : bytes) writes.push_back({std::string(1, byte), delayMs});
    return writes;
}

}  // namespace

std::string lengthPrefix(uint32_t length) {
    return {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
            static_cast<char>((length >> 16) & 0xFF), static_cast<char>(length >> 24)};
}

std::vector<SerialWrite> SerialFace::receive(std::string_view bytes) {
    pending_.append(bytes);
    std::vector<SerialWrite> writes;
    for (auto lineFeed = pending_.find('\n'); lineFeed != std::string::npos;
         lineFeed = pending_.find('\n')) {
        const std::string command = pending_.substr(0, lineFeed);
        pending_.erase(0, lineFeed + 1);
        if (onCommand) onCommand(command);
        if (const auto answer = instrument_.execute(command)) {
            auto more = reply(command, *answer);
            writes.insert(writes.end(), more.begin(), more.end());
        }
    }
    return writes;
}

std::vector<SerialWrite> SerialFace::reply(const std::string& command, const Reply& answer) const {
    const bool faulty = faults_.appliesTo(command);
    if (faulty && faults_.silent) return {};
    std::string payload = answer.bytes;
    std::string framed;
    if (answer.kind == Reply::Kind::Text) {
        framed = (faulty && faults_.garbage ? Garbage : payload) + "\n";
    } else {
        if (faulty && faults_.oversize > payload.size()) payload.resize(faults_.oversize, '\x7f');
        if (faulty && faults_.garbage) payload = Garbage;
        const long announced =
            static_cast<long>(payload.size()) + (faulty ? faults_.prefixDelta : 0);
        framed = lengthPrefix(static_cast<uint32_t>(std::max(0L, announced))) + payload;
    }
    if (!faulty) return {{framed}};
    if (faults_.disappearMidReply) return {{framed.substr(0, framed.size() / 2), 0, true}};
    if (faults_.trickleMs > 0) return trickled(framed, faults_.trickleMs);
    if (faults_.splitPrefix && answer.kind == Reply::Kind::Block)
        return {{framed.substr(0, 2)}, {framed.substr(2), 20}};
    return {{framed}};
}

}  // namespace tracebay::sim
