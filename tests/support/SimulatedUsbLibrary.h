#pragma once

#include "link/UsbLibrary.h"
#include "sim/UsbtmcDevice.h"
#include "usblink/SimulatedDeviceAccess.h"
#include "usblink/UsbLink.h"

namespace tracebay::testing {

// The USB link library's own code in-process, with the simulated instrument behind it.
class SimulatedUsbLibrary : public link::UsbLibrary {
public:
    explicit SimulatedUsbLibrary(sim::UsbtmcDevice& device) : access(device), library_(access) {}

    bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                  const uint8_t* data) override {
        return library_.WriteUSB(messageId, tag, transferSize, data);
    }
    bool ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) override {
        return library_.ReadUSB(&length, destination, capacity);
    }
    bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t* destination) override {
        return library_.Vendor_Request_Read(request, value, index, length, destination);
    }

    usblink::SimulatedDeviceAccess access;

private:
    usblink::UsbLink library_;
};

}  // namespace tracebay::testing
