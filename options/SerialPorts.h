#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tracebay::options {

struct SerialPortChoice {
    std::string path;
    std::string description;

    bool operator==(const SerialPortChoice&) const = default;
};

// One serial port as the system reports it.
struct ReportedPort {
    std::string location;  // the device path, e.g. "/dev/ttyUSB0"
    std::string portName;  // e.g. "ttyUSB0" or "COM3"
    std::string description;
};

// The ports to offer after COM1 and COM2, sorted by path: the two ports COM1 and COM2 stand for
// are left out, and each other port is named by the link in `stableLinks` that points at it,
// where there is one, so that a choice survives re-plugging.
std::vector<SerialPortChoice> serialPortChoices(const std::vector<ReportedPort>& ports,
                                                const std::filesystem::path& stableLinks);

// The serial ports the system reports, as `serialPortChoices` offers them (on Linux named by
// their /dev/serial/by-id links).
std::vector<SerialPortChoice> systemSerialPorts();

}  // namespace tracebay::options
