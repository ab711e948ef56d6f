#include "tests/support/FakeUsbLibrary.h"

#include <algorithm>

namespace tracebay::testing {

bool FakeUsbLibrary::WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                              const uint8_t* data) {
    if (deviceMissing) return false;
    writes.push_back({messageId, tag, transferSize,
                      data ? std::string(data, data + transferSize) : std::string()});
    return true;
}

bool FakeUsbLibrary::ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) {
    lastReadCapacity = capacity;
    if (deviceMissing || readFails || replies_.empty()) return false;
    const std::string reply = replies_.front();
    replies_.pop_front();
    pollsForCurrent_ = 0;
    if (reply.size() > capacity) {
        length = static_cast<uint32_t>(reply.size());
        return false;
    }
    std::copy(reply.begin(), reply.end(), destination);
    length = static_cast<uint32_t>(reply.size());
    return true;
}

bool FakeUsbLibrary::Vendor_Request_Read(uint8_t, uint16_t, uint16_t, uint16_t length,
                                         uint8_t* destination) {
    ++statusRequests;
    if (deviceMissing || statusFails) return false;
    std::fill_n(destination, length, 0);
    if (!replies_.empty() && pollsForCurrent_++ >= pollsBeforeReady) destination[0] = 1;
    return true;
}

void FakeUsbLibrary::queueReply(std::string payload) { replies_.push_back(std::move(payload)); }

}  // namespace tracebay::testing
