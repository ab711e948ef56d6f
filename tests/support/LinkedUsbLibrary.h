#pragma once

#include "link/UsbLibrary.h"
#include "usblink/UsbLink.h"

namespace tracebay::testing {

// The USB link library's own code called in-process, as the program calls its exports.
class LinkedUsbLibrary : public link::UsbLibrary {
public:
    explicit LinkedUsbLibrary(usblink::UsbLink& link) : link_(link) {}

    bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                  const uint8_t* data) override {
        return link_.WriteUSB(messageId, tag, transferSize, data);
    }
    bool ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) override {
        return link_.ReadUSB(&length, destination, capacity);
    }
    bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t* destination) override {
        return link_.Vendor_Request_Read(request, value, index, length, destination);
    }

private:
    usblink::UsbLink& link_;
};

}  // namespace tracebay::testing
