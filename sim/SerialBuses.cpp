#include "sim/SerialBuses.h"

#include <algorithm>
#include <cmath>

namespace tracebay::sim {
namespace {

constexpr double PresetBaud = 9600;
constexpr double PresetBusRate = 10000;
constexpr std::string_view LineMessage = "Hello";
constexpr std::string_view ChannelMessage = "World";
constexpr uint8_t EepromAddress = 0x50;
// A write to an EEPROM: the word address, then two bytes.
constexpr std::string_view EepromWrite("\x00\x54\x42", 3);
constexpr std::string_view SpiBytes = "\xDE\xAD\xBE\xEF";

constexpr int UartFrameBits = 10;
constexpr int I2cByteBits = 9;

bool bitOf(uint8_t byte, int fromTop) { return (byte >> (7 - fromTop)) & 1; }

// Bit k of the I2C write: the address byte (write), then the bytes, each followed by the
// receiver's acknowledge (low).
bool i2cBit(uint8_t address, std::string_view bytes, long k) {
    const long byte = k / I2cByteBits;
    const int place = static_cast<int>(k % I2cByteBits);
    if (place == 8) return false;
    const auto value = static_cast<uint8_t>(byte == 0 ? address << 1 : bytes[byte - 1]);
    return bitOf(value, place);
}

}  // namespace

bool uartLevel(std::string_view bytes, double baud, double t) {
    const double bit = std::floor(t * baud);
    if (!(bit >= 0) || bit >= static_cast<double>(bytes.size() * UartFrameBits)) return true;
    const auto k = static_cast<long>(bit);
    const int place = static_cast<int>(k % UartFrameBits);
    if (place == 0) return false;
    if (place == 9) return true;
    return (static_cast<uint8_t>(bytes[static_cast<size_t>(k / UartFrameBits)]) >> (place - 1)) & 1;
}

// Start a quarter of a bit long, then a bit slot each: clock low for the first half, high for
// the second; then stop.
I2cLevels i2cLevels(uint8_t address, std::string_view bytes, double bitRate, double t) {
    const double slot = 1 / bitRate;
    if (!(t >= 0)) return {};
    if (t < slot / 4) return {true, false};
    const double u = t - slot / 4;
    const long slots = static_cast<long>(I2cByteBits * (bytes.size() + 1));
    const auto k = static_cast<long>(std::floor(u / slot));
    const double phase = u - static_cast<double>(k) * slot;
    if (k < slots) {
        const bool settled = phase >= slot / 4;
        return {phase >= slot / 2,
                settled ? i2cBit(address, bytes, k) : k > 0 && i2cBit(address, bytes, k - 1)};
    }
    const double stop = u - static_cast<double>(slots) * slot;
    if (stop < slot / 2) return {false, false};
    return {true, stop >= 3 * slot / 4};
}

SpiLevels spiLevels(std::string_view bytes, double clockRate, double t) {
    const double slot = 1 / clockRate;
    if (!(t >= 0)) return {};
    const double u = t - slot / 2;
    const long bits = static_cast<long>(8 * bytes.size());
    const auto k = std::clamp(static_cast<long>(std::floor(u / slot)), 0L, bits);
    if (k >= bits) return {false, false, u >= static_cast<double>(bits) * slot + slot / 2};
    const bool high = u - static_cast<double>(k) * slot >= slot / 2;
    return {u >= 0 && high, bitOf(static_cast<uint8_t>(bytes[static_cast<size_t>(k / 8)]), k % 8),
            false};
}

uint16_t serialBusWord(double t) {
    const I2cLevels i2c = i2cLevels(EepromAddress, EepromWrite, PresetBusRate, t);
    const SpiLevels spi = spiLevels(SpiBytes, PresetBusRate, t);
    return static_cast<uint16_t>(uartLevel(LineMessage, PresetBaud, t) | i2c.scl << 1 |
                                 i2c.sda << 2 | spi.clock << 3 | spi.mosi << 4 |
                                 spi.chipSelect << 5);
}

bool serialChannelLevel(double t) { return uartLevel(ChannelMessage, PresetBaud, t); }

}  // namespace tracebay::sim
