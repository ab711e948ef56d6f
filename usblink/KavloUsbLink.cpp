// The exported functions of KavloUsbLink. Nothing else leaves the library.

#include "usblink/KavloUsbLink.h"

#include "usblink/UsbLink.h"

#include <algorithm>
#include <cstring>

namespace {

usblink::UsbLink& link() {
    static usblink::UsbLink instance(usblink::systemDeviceAccess());
    return instance;
}

// No exception may cross the C interface; a call that throws has failed.
template <typename Call>
KavloBool guarded(Call call) {
    try {
        return call() ? 1 : 0;
    } catch (...) {
        link().CloseDevice();
        return 0;
    }
}

}  // namespace

extern "C" {

KAVLO_API KavloBool KAVLO_CALL ReadUSB(uint32_t* length, uint8_t* destination) {
    return guarded([&] { return link().ReadUSB(length, destination); });
}

KAVLO_API KavloBool KAVLO_CALL WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                                        const uint8_t* data) {
    return guarded([&] { return link().WriteUSB(messageId, tag, transferSize, data); });
}

KAVLO_API KavloBool KAVLO_CALL Class_Request_Write(uint8_t request, uint16_t value, uint16_t index,
                                                   uint16_t length, uint8_t selector) {
    return guarded(
        [&] { return link().Class_Request_Write(request, value, index, length, selector); });
}

KAVLO_API KavloBool KAVLO_CALL Class_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                                  uint16_t length, uint8_t* destination,
                                                  uint8_t selector) {
    return guarded([&] {
        return link().Class_Request_Read(request, value, index, length, destination, selector);
    });
}

KAVLO_API KavloBool KAVLO_CALL Vendor_Request_Write(uint8_t request, uint16_t value, uint16_t index,
                                                    uint16_t length) {
    return guarded([&] { return link().Vendor_Request_Write(request, value, index, length); });
}

KAVLO_API KavloBool KAVLO_CALL Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                                   uint16_t length, uint8_t* destination) {
    return guarded(
        [&] { return link().Vendor_Request_Read(request, value, index, length, destination); });
}

KAVLO_API KavloBool KAVLO_CALL USB_Clear_Feature(uint32_t, uint32_t, uint32_t, uint32_t) {
    return 0;
}

KAVLO_API KavloBool KAVLO_CALL ReadUSBBounded(uint32_t* length, uint8_t* destination,
                                              uint32_t capacity) {
    return guarded([&] { return link().ReadUSB(length, destination, capacity); });
}

KAVLO_API uint32_t KAVLO_CALL USBOpenProblem(char* text, uint32_t capacity) {
    const std::string& problem = link().OpenProblem;
    if (text && capacity > 0) {
        const size_t n = std::min<size_t>(problem.size(), capacity - 1);
        std::memcpy(text, problem.data(), n);
        text[n] = '\0';
    }
    return static_cast<uint32_t>(problem.size());
}

}  // extern "C"
