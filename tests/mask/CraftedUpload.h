#pragma once

#include <functional>

#include "tests/display/SlotBuilder.h"

namespace tracebay::testing {

// Sample n (0..599) of a full-screen trace is element 213 + n, half a column apart from half a
// column before the first column: at 500 us per division, -3.01 ms + n * 10 us.
inline double sampleTime(size_t n) { return (static_cast<double>(n) / 2 - 0.5 - 150) * 20e-6; }

// A square wave on CH1 at 500 mV per division, its ground on the centre line: 0.8 V below ground
// for samples 0..99, above it for 100..199, and so on; `rows` may change any sample's row.
inline display::SlotBuilder squareUpload(const std::function<void(std::vector<int>&)>& rows = {}) {
    std::vector<int> row(600);
    for (size_t n = 0; n < row.size(); ++n) row[n] = (n / 100) % 2 ? 60 : 140;
    if (rows) rows(row);
    display::SlotBuilder b;
    b.slot.CapturedCh1 = true;
    b.slot.Ch1ScaleText = "500mV";
    b.slot.Ch1OffsetText = "0.00uV";
    b.slot.Ch1Samples = display::SlotBuilder::samples(100);
    for (size_t n = 0; n < row.size(); ++n) b.slot.Ch1Samples[213 + n] = row[n];
    b.byte(13, 1);
    return b;
}

}  // namespace tracebay::testing
