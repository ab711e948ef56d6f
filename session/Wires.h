#pragma once

#include <memory>

#include "link/UsbLibrary.h"
#include "platform/SerialPortControl.h"

namespace tracebay::session {

// What a session reaches the instrument through: a serial port and the USB link library.
struct Wires {
    std::unique_ptr<platform::SerialPortControl> port;
    std::unique_ptr<link::UsbLibrary> usb;
};

// The system's own: its serial ports, and the USB library found beside the program.
Wires systemWires();

}  // namespace tracebay::session
