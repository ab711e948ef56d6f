#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace usblink {

// A handle on the open device; all bits set when none is open.
using Handle = std::intptr_t;
constexpr Handle InvalidHandle = -1;

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// {D169FD78-D0E3-41D7-849F-C71799B86678}: the device interface class of the instrument's
// driver. Where there is no such driver, backends take the first USB Test and Measurement
// interface instead, of the maker's devices when there is one.
constexpr Guid InterfaceClass = {
    0xD169FD78, 0xD0E3, 0x41D7, {0x84, 0x9F, 0xC7, 0x17, 0x99, 0xB8, 0x66, 0x78}};

// The I/O control codes for control requests; the record in the input buffer holds request,
// value, index and length.
constexpr uint32_t IoctlClassReadInterface = 0x222000;
constexpr uint32_t IoctlClassWriteInterface = 0x222004;
constexpr uint32_t IoctlVendorRead = 0x222008;
constexpr uint32_t IoctlVendorWrite = 0x22200C;
constexpr uint32_t IoctlClassReadEndpoint = 0x222010;
constexpr uint32_t IoctlClassWriteEndpoint = 0x222014;
constexpr uint32_t ControlBufferSize = 4096;

// What the library needs from the system to reach the device: finding and opening it, bulk
// reads and writes, control requests, and a message box. One backend per system.
class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // Member `memberIndex` of the interface class, opened; InvalidHandle and an error code when
    // it cannot be found or opened.
    virtual Handle OpenDevice(const Guid& interfaceClass, uint32_t memberIndex,
                              uint32_t& error) = 0;
    // Why the last OpenDevice failed, as a short line ("no instrument found", "permission
    // denied: /dev/bus/usb/001/004"); empty after one that succeeded or where the backend
    // cannot tell.
    virtual std::string openProblem() const { return {}; }
    // The lines every backend gives for the two problems a user can mend.
    static std::string noInstrumentFound() { return "no instrument found"; }
    static std::string permissionDenied(const std::string& node) {
        return "permission denied: " + node;
    }
    virtual void closeHandle(Handle handle) = 0;
    virtual bool writeFile(Handle handle, const uint8_t* data, uint32_t length,
                           uint32_t& written) = 0;
    virtual bool readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) = 0;
    virtual bool deviceIoControl(Handle handle, uint32_t code, const uint8_t* input,
                                 uint32_t inputLength, uint8_t* output, uint32_t outputLength,
                                 uint32_t& returned) = 0;
    // A modal box with a question mark and an OK button.
    virtual void messageBox(const char* text, const char* caption) = 0;
    // Whether the device stays open from one successful call to the next, where opening costs
    // much (taking the interface from its kernel driver); a failed call still closes it.
    virtual bool keepsDeviceOpen() const { return false; }
    // The clock a reply's deadline is kept by.
    virtual std::chrono::steady_clock::time_point now() const {
        return std::chrono::steady_clock::now();
    }
};

// The backend this build of the library uses.
DeviceAccess& systemDeviceAccess();

}  // namespace usblink
