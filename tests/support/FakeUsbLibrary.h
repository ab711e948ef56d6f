#pragma once

#include <deque>
#include <string>
#include <vector>

#include "link/UsbLibrary.h"

namespace tracebay::testing {

// The three library functions the program calls, scripted: queued replies become ready after a
// number of status polls; every write is recorded.
class FakeUsbLibrary : public link::UsbLibrary {
public:
    struct Write {
        uint8_t messageId;
        uint8_t tag;
        uint32_t transferSize;
        std::string data;
    };

    bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                  const uint8_t* data) override;
    bool ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) override;
    bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t* destination) override;

    // A reply the instrument will have ready.
    void queueReply(std::string payload);

    bool deviceMissing = false;  // every call fails
    bool statusFails = false;    // status requests fail
    bool readFails = false;      // reads fail
    int pollsBeforeReady = 0;    // not-ready answers before a queued reply shows ready
    std::vector<Write> writes;
    int statusRequests = 0;
    uint32_t lastReadCapacity = 0;

private:
    std::deque<std::string> replies_;
    int pollsForCurrent_ = 0;
};

}  // namespace tracebay::testing
