#include "sim/UsbtmcDevice.h"

#include <algorithm>

namespace tracebay::sim {
namespace {

constexpr uint8_t DeviceDependentOut = 1;
constexpr uint8_t RequestDeviceDependentIn = 2;
constexpr uint8_t EndOfMessage = 0x01;

uint32_t littleEndian32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::string bulkInHeader(uint8_t messageId, uint8_t tag, uint32_t length) {
    return {static_cast<char>(messageId),
            static_cast<char>(tag),
            static_cast<char>(~tag),
            0,
            static_cast<char>(length & 0xFF),
            static_cast<char>((length >> 8) & 0xFF),
            static_cast<char>((length >> 16) & 0xFF),
            static_cast<char>(length >> 24),
            static_cast<char>(EndOfMessage),
            0,
            0,
            0};
}

}  // namespace

bool UsbtmcDevice::bulkOut(const uint8_t* data, size_t length) {
    if (!present_) return false;
    bulkOutLog.emplace_back(data, data + length);
    while (length > 0) {
        if (!inMessage_) {
            if (length < HeaderSize || !takeHeader(data)) return false;
            data += HeaderSize;
            length -= HeaderSize;
            continue;
        }
        const size_t take = std::min<size_t>(length, expected_ - command_.size());
        command_.append(data, data + take);
        data += take;
        length -= take;
        if (command_.size() == expected_) commandComplete();
    }
    return true;
}

bool UsbtmcDevice::takeHeader(const uint8_t* header) {
    const uint8_t tag = header[1];
    if (header[2] != static_cast<uint8_t>(~tag)) return false;
    const uint32_t size = littleEndian32(header + 4);
    if (header[0] == RequestDeviceDependentIn) {
        startReply(tag);
        return true;
    }
    if (header[0] != DeviceDependentOut) return false;
    inMessage_ = true;
    expected_ = size;
    endOfMessage_ = (header[8] & EndOfMessage) != 0;
    command_.clear();
    if (expected_ == 0) commandComplete();
    return true;
}

void UsbtmcDevice::commandComplete() {
    inMessage_ = false;
    if (!endOfMessage_) return;
    if (onCommand) onCommand(command_);
    auto reply = instrument_.execute(command_);
    if (!reply || (faults_.appliesTo(command_) && faults_.silent)) return;
    waiting_.emplace(command_, std::move(*reply));
}

void UsbtmcDevice::startReply(uint8_t tag) {
    outgoing_.clear();
    if (!waiting_) return;
    const auto [command, reply] = std::move(*waiting_);
    waiting_.reset();
    faultyReply_ = faults_.appliesTo(command);
    std::string payload = reply.bytes;
    if (reply.kind == Reply::Kind::Text) payload += '\n';
    if (faultyReply_ && faults_.garbage) payload = "\xfe\x13#?garbage\x01";
    if (faultyReply_ && faults_.oversize > payload.size()) payload.resize(faults_.oversize, '\x7f');
    long announced = static_cast<long>(payload.size());
    if (faultyReply_) announced += faults_.prefixDelta;
    const uint8_t messageId =
        faultyReply_ && faults_.wrongMessageId ? DeviceDependentOut : RequestDeviceDependentIn;
    outgoing_ =
        bulkInHeader(messageId, tag, static_cast<uint32_t>(std::max(0L, announced))) + payload;
    firstPacket_ = true;
}

std::optional<std::string> UsbtmcDevice::bulkIn(size_t length) {
    if (!present_ || outgoing_.empty()) return std::nullopt;
    size_t take = std::min(length, outgoing_.size());
    if (firstPacket_ && faultyReply_ && faults_.shortFirstPacket) take = std::min<size_t>(take, 8);
    std::string packet = outgoing_.substr(0, take);
    outgoing_.erase(0, take);
    if (firstPacket_ && faultyReply_ && faults_.disappearMidReply) present_ = false;
    firstPacket_ = false;
    return packet;
}

std::optional<std::string> UsbtmcDevice::vendorRead(uint8_t request, uint16_t, uint16_t,
                                                    uint16_t length) {
    if (!present_) return std::nullopt;
    std::string answer(length, '\0');
    if (request == StatusRequest && length > 0 && waiting_) answer[0] = 1;
    return answer;
}

}  // namespace tracebay::sim
