#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "acquisition/ScopeState.h"
#include "sim/SerialBuses.h"
#include "tests/display/SlotBuilder.h"

// Uploads with signals drawn from functions of time, at 500 us a division: a logic word or a
// channel sample every 10 us, two a screen column, time 0 at screen column 10.
namespace tracebay::decode::testing {

inline constexpr double SampleInterval = 10e-6;
inline constexpr double StartColumn = 10;

inline double timeAtPlace(double place) { return (place - StartColumn) * 2 * SampleInterval; }

// The logic lines over the whole screen, word j (at column j / 2) `word` of its time.
inline acquisition::ScopeState linesUpload(const std::function<uint16_t(double)>& word) {
    display::SlotBuilder b;
    b.byte(70, 1).int16(72, 0x00FF);
    b.slot.CapturedLa = true;
    b.slot.LaSamples = display::SlotBuilder::samples(0);
    for (size_t j = 0; 426 + 2 * j < b.slot.LaSamples.size(); ++j) {
        const uint16_t w = word(timeAtPlace(static_cast<double>(j) / 2));
        b.slot.LaSamples[425 + 2 * j] = w & 0xFF;
        b.slot.LaSamples[426 + 2 * j] = w >> 8;
    }
    return b.slot;
}

// Adds CH1 to an upload made here, at 2 V a division with 0 V on the centre line, its samples
// `volts` of their time.
inline void addChannel(acquisition::ScopeState& slot, const std::function<double(double)>& volts) {
    slot.CapturedCh1 = true;
    slot.SystemBlock.bytes[13] = 1;
    slot.Ch1ScaleText = "2.00V";
    slot.Ch1OffsetText = "0.00V";
    slot.Ch1Samples = display::SlotBuilder::samples(100);
    // Element e holds the sample of column (e - 214) / 2.
    for (size_t e = 200; e < 820; ++e) {
        const double row = 100 - volts(timeAtPlace((static_cast<double>(e) - 214) / 2)) / 2 * 25;
        slot.Ch1Samples[e] = static_cast<int32_t>(std::clamp(std::lround(row), 0L, 199L));
    }
}

inline acquisition::ScopeState channelUpload(const std::function<double(double)>& volts) {
    display::SlotBuilder b;
    addChannel(b.slot, volts);
    return b.slot;
}

inline acquisition::ScopeState uartOnD0(const std::string& bytes, double baud) {
    return linesUpload(
        [=](double t) { return static_cast<uint16_t>(sim::uartLevel(bytes, baud, t)); });
}

inline acquisition::ScopeState i2cOnD1AndD2(uint8_t address, const std::string& bytes,
                                            double bitRate) {
    return linesUpload([=](double t) {
        const sim::I2cLevels i2c = sim::i2cLevels(address, bytes, bitRate, t);
        return static_cast<uint16_t>(i2c.scl << 1 | i2c.sda << 2);
    });
}

inline acquisition::ScopeState spiOnD3ToD5(const std::string& bytes, double clockRate) {
    return linesUpload([=](double t) {
        const sim::SpiLevels spi = sim::spiLevels(bytes, clockRate, t);
        return static_cast<uint16_t>(spi.clock << 3 | spi.mosi << 4 | spi.chipSelect << 5);
    });
}

// Bytes as the decoders write them: "DE AD".
inline std::string hex(std::string_view bytes) {
    static const char* const Digits = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (!text.empty()) text += ' ';
        text += Digits[byte >> 4];
        text += Digits[byte & 0xF];
    }
    return text;
}

}  // namespace tracebay::decode::testing
