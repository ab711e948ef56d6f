#pragma once

#include <cstdint>
#include <string_view>

namespace tracebay::sim {

// Serial lines as a device on them drives them, each message starting at time 0 (the trigger)
// and the lines idle before and after it.

// A UART line, idle high: each byte a start bit, eight data bits from the lowest, a stop bit,
// back to back at `baud`.
bool uartLevel(std::string_view bytes, double baud, double t);

struct I2cLevels {
    bool scl = true;
    bool sda = true;
};
// An I2C write of `bytes` to the 7-bit `address` at `bitRate`: start, the address byte, the
// bytes (each acknowledged), stop; the data changes a quarter of a bit into the clock's low half.
I2cLevels i2cLevels(uint8_t address, std::string_view bytes, double bitRate, double t);

struct SpiLevels {
    bool clock = false;
    bool mosi = false;
    bool chipSelect = true;  // active low
};
// An SPI transfer of `bytes` in mode 0 (the clock idle low, data taken on its rising edge),
// highest bit first, the chip selected half a clock before the first bit and after the last.
SpiLevels spiLevels(std::string_view bytes, double clockRate, double t);

// The serial preset's logic lines at time t: D0 a UART at 9600 baud, D1 (SCL) and D2 (SDA) an
// I2C write at 10 kHz, D3 (clock), D4 (MOSI) and D5 (chip select) an SPI transfer at 10 kHz.
uint16_t serialBusWord(double t);
// The serial preset's CH1 (a UART at 9600 baud), 0 or 1.
bool serialChannelLevel(double t);

}  // namespace tracebay::sim
