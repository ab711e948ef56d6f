#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/Faults.h"
#include "sim/Instrument.h"

namespace tracebay::sim {

// USB Test and Measurement Class framing, seen from the device: bulk-out messages carry
// commands (message ID 1) and requests for a reply (message ID 2); the reply goes out on bulk-in
// behind a 12-byte header; vendor request 9 tells whether a reply is waiting.
class UsbtmcDevice {
public:
    static constexpr size_t HeaderSize = 12;
    static constexpr uint8_t StatusRequest = 9;

    UsbtmcDevice(Instrument& instrument, const Faults& faults)
        : instrument_(instrument), faults_(faults) {}

    // One bulk-out transfer; false when the device is gone or the transfer makes no sense.
    bool bulkOut(const uint8_t* data, size_t length);
    // One bulk-in transfer of up to `length` bytes; nothing when no reply is under way (the
    // host would wait until its time-out) or the device is gone.
    std::optional<std::string> bulkIn(size_t length);
    // A vendor request with a data stage to the host.
    std::optional<std::string> vendorRead(uint8_t request, uint16_t value, uint16_t index,
                                          uint16_t length);

    bool present() const { return present_; }
    void unplug() { present_ = false; }
    bool replyWaiting() const { return waiting_.has_value(); }

    // Sees every complete command.
    std::function<void(const std::string&)> onCommand;
    // Every bulk-out transfer as it came, for tests of the host's framing.
    std::vector<std::string> bulkOutLog;

private:
    bool takeHeader(const uint8_t* header);
    void commandComplete();
    void startReply(uint8_t tag);

    Instrument& instrument_;
    const Faults& faults_;
    bool present_ = true;

    // The bulk-out message being assembled.
    bool inMessage_ = false;
    uint32_t expected_ = 0;
    bool endOfMessage_ = false;
    std::string command_;

    std::optional<std::pair<std::string, Reply>> waiting_;  // command and its reply
    std::string outgoing_;                                  // bulk-in bytes not yet read
    bool firstPacket_ = false;
    bool faultyReply_ = false;
};

}  // namespace tracebay::sim
