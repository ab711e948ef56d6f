#pragma once

#include <string>

namespace tracebay::session {

// The transport and its serial settings, as the options dialog edits them and the settings
// keep them.
struct LinkOptions {
    static constexpr int IoTypeUsb = 0;
    static constexpr int IoTypeSerial = 2;

    int IoType = IoTypeUsb;  // 2 = RS232, any other value USB
    int ComPort = 1;         // 1 = COM1, 2 = COM2
    std::string BaudRate = "9600";
    std::string SerialDevice;  // a device path chosen in the list; empty: ComPort decides

    bool usesSerial() const { return IoType == IoTypeSerial; }
    bool operator==(const LinkOptions&) const = default;
};

}  // namespace tracebay::session
