#pragma once

#include <optional>
#include <string>

namespace tracebay::platform {

// A serial port's line settings written as text, "9600,n,8,1": baud rate, parity letter
// (n, e, o, m, s), data bits (5..8) and stop bits (1, 1.5, 2).
struct SerialLineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

struct ParsedLineSettings {
    std::optional<SerialLineSettings> settings;
    std::string error;  // why the text was refused, when it was
};

ParsedLineSettings parseLineSettings(const std::string& text);

// The rates a serial line is driven at: slower would take seconds a character, faster no
// adapter offers.
constexpr int MinBaudRate = 110;
constexpr int MaxBaudRate = 4'000'000;
// A baud rate written as a whole number from MinBaudRate to MaxBaudRate; nothing otherwise.
std::optional<int> baudRateFromText(const std::string& text);

// The device a COM port number stands for ("COMn" on Windows, "/dev/ttyS(n-1)" elsewhere); a
// configured device path wins over the number.
std::string portDeviceName(int commPort, const std::string& devicePath);

}  // namespace tracebay::platform
