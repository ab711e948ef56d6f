#pragma once

#include <cstdint>
#include <string>

namespace tracebay::link {

// The three functions of the USB link library that the program calls.
class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;

    virtual bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                          const uint8_t* data) = 0;
    // Succeeds with whole replies only. A reply announcing more than `capacity` bytes fails
    // without writing to `destination`; `length` then holds what it announced.
    virtual bool ReadUSB(uint32_t& length, uint8_t* destination, uint32_t capacity) = 0;
    virtual bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                     uint16_t length, uint8_t* destination) = 0;
    // Why the library behind the functions could not be loaded at all; empty when it could.
    virtual std::string loadFailure() const { return {}; }
    // Why the last call could not find or open the instrument ("no instrument found",
    // "permission denied: /dev/bus/usb/001/004"); empty when it could, or when the library
    // cannot tell.
    virtual std::string openProblem() { return {}; }
};

}  // namespace tracebay::link
