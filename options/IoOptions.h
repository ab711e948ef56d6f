#pragma once

#include <string>

namespace tracebay::options {

// The transport and serial settings the options dialog edits.
struct IoOptions {
    int IoType = 0;   // 2 = RS232, any other value USB
    int ComPort = 1;  // 1 = COM1, 2 = COM2
    std::string BaudRate = "9600";
    std::string SerialDevice;  // a device path chosen in the list; empty: ComPort decides

    bool operator==(const IoOptions&) const = default;
};

}  // namespace tracebay::options
