#pragma once

#include "sim/UsbtmcDevice.h"
#include "tests/support/LinkedUsbLibrary.h"
#include "usblink/SimulatedDeviceAccess.h"
#include "usblink/UsbLink.h"

namespace tracebay::testing {

// The USB link library's own code in-process, with the simulated instrument behind it.
class SimulatedUsbLibrary : public LinkedUsbLibrary {
public:
    explicit SimulatedUsbLibrary(sim::UsbtmcDevice& device)
        : LinkedUsbLibrary(library_), access(device), library_(access) {}

    usblink::SimulatedDeviceAccess access;

private:
    usblink::UsbLink library_;
};

}  // namespace tracebay::testing
