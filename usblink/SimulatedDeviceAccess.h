#pragma once

#include <string>
#include <vector>

#include "sim/UsbtmcDevice.h"
#include "usblink/DeviceAccess.h"

namespace usblink {

// The simulated instrument's USB side behind the device-access seam, for tests and for trying
// the program without an instrument.
class SimulatedDeviceAccess : public DeviceAccess {
public:
    // The node that a device this user may not open is named by.
    static constexpr const char* DeviceNode = "/dev/bus/usb/001/004";

    explicit SimulatedDeviceAccess(tracebay::sim::UsbtmcDevice& device) : device_(device) {}

    Handle OpenDevice(const Guid& interfaceClass, uint32_t memberIndex, uint32_t& error) override;
    std::string openProblem() const override { return openProblem_; }
    void closeHandle(Handle handle) override;
    bool writeFile(Handle handle, const uint8_t* data, uint32_t length, uint32_t& written) override;
    bool readFile(Handle handle, uint8_t* data, uint32_t length, uint32_t& read) override;
    bool deviceIoControl(Handle handle, uint32_t code, const uint8_t* input, uint32_t inputLength,
                         uint8_t* output, uint32_t outputLength, uint32_t& returned) override;
    void messageBox(const char* text, const char* caption) override;

    bool denied = false;  // the device is there, but opening it fails as without the rights
    int opens = 0;
    int closes = 0;
    std::vector<std::string> messages;

private:
    bool valid(Handle handle) const { return handle == OpenHandle && device_.present(); }

    static constexpr Handle OpenHandle = 1;
    tracebay::sim::UsbtmcDevice& device_;
    std::string openProblem_;
};

}  // namespace usblink
