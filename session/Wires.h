#pragma once

#include <memory>

#include "link/UsbLibrary.h"
#include "platform/QtHost.h"
#include "platform/SerialPortControl.h"

namespace tracebay::session {

// What a session reaches the instrument through: a serial port and the USB link library, and
// the host of the thread they are used on (a plain QtHost when none is given).
struct Wires {
    std::unique_ptr<platform::SerialPortControl> port;
    std::unique_ptr<link::UsbLibrary> usb;
    std::unique_ptr<platform::QtHost> host;
};

// The system's own: its serial ports, and the USB library found beside the program.
Wires systemWires();

}  // namespace tracebay::session
