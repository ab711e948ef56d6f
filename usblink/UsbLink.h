#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "usblink/DeviceAccess.h"

namespace usblink {

// The library's work: USBTMC bulk messages and control requests over one device handle that
// each call opens on demand and closes when it is done, or, where the backend keeps it open,
// when a call fails and when the library goes.
class UsbLink {
public:
    static constexpr uint32_t ChunkSize = 4096;
    static constexpr uint32_t FirstPacketSize = 64;
    static constexpr uint32_t HeaderSize = 12;

    explicit UsbLink(DeviceAccess& access) : access_(access) {}
    ~UsbLink() { CloseDevice(); }
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    bool WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize, const uint8_t* data);
    // Without a capacity the destination must take whatever length the device announces. With
    // one, only a whole reply that fits succeeds; a longer one is read and dropped, its
    // announced length stored.
    bool ReadUSB(uint32_t* length, uint8_t* destination,
                 std::optional<uint32_t> capacity = std::nullopt);
    bool Class_Request_Write(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t selector);
    bool Class_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                            uint8_t* destination, uint8_t selector);
    bool Vendor_Request_Write(uint8_t request, uint16_t value, uint16_t index, uint16_t length);
    bool Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                             uint8_t* destination);

    Handle DeviceHandle = InvalidHandle;
    // Why the last call could not find or open the instrument; empty when it found it open or
    // opened it.
    std::string OpenProblem;

    void CloseDevice();
    // Ends a call that succeeded.
    bool CloseDeviceTrue();
    bool CloseDeviceFalse();
    bool EnsureDeviceOpen();

private:
    bool SendBulkHeader(uint8_t messageId, uint8_t tag, uint32_t transferSize);
    // Reads the first packet of a reply into `buffer`; the payload bytes it holds, or nothing
    // when the read failed (the device is then closed).
    std::optional<uint32_t> ReadFirstPacket(uint8_t* buffer, uint32_t& payloadLength);
    void DiscardReply(uint8_t* buffer, uint32_t remaining,
                      std::chrono::steady_clock::time_point started);
    // However its bytes trickle in, a reply ends 10 s after the time `bytes` take on a
    // full-speed bus.
    bool overdue(std::chrono::steady_clock::time_point started, uint64_t bytes) const;
    bool ControlWrite(uint32_t code, uint8_t request, uint16_t value, uint16_t index,
                      uint16_t length);
    bool ControlRead(uint32_t code, uint8_t request, uint16_t value, uint16_t index,
                     uint16_t length, uint8_t* destination);
    bool ioControl(uint32_t code, uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                   uint8_t* output, uint32_t& returned);

    DeviceAccess& access_;
};

// The 12-byte bulk-out header that goes in front of every message.
void fillBulkOutHeader(uint8_t* header, uint8_t messageId, uint8_t tag, uint32_t transferSize);

}  // namespace usblink
