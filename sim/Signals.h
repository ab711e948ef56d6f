#pragma once

#include "sim/InstrumentState.h"

namespace tracebay::sim {

// The instrument's screen: 300 x 200 rows and columns, 25 to a division; sample bytes count
// rows from 26 (top grid line) over 126 (centre line) to 225 (bottom grid line).
constexpr int ScreenColumns = 300;
constexpr int ScreenRows = 200;
constexpr int RowsPerDivision = 25;
constexpr int TopRowByte = 26;

// The screen byte of a row (0 = top grid line), rounded and kept within a byte.
uint8_t rowByte(double row);
// The screen row on which `volts` lie for a scale (volts per division) and ground row.
double voltsRow(double volts, double scale, double groundRow);

// Time from the trigger at a screen column (the trigger sits at column 150 - 25 offset/scale).
double columnTime(const TimeBase& timebase, double column);

// The signals on both inputs, as one acquisition sees them: time 0 is the trigger point of
// `triggerChannel` when the trigger holds, else wherever the free-running sweep began.
class Acquisition {
public:
    Acquisition(const InstrumentState& state, int triggerChannel);

    double volts(int channel, double t) const;
    bool triggered() const { return triggered_; }

private:
    const InstrumentState& state_;
    double start_ = 0;  // absolute time of time 0
    bool triggered_ = false;
};

double generatorVolts(const Generator& generator, double absoluteTime);

// The trigger holds while the level lies inside the source's swing.
bool triggerHolds(const InstrumentState& state, int channel);

}  // namespace tracebay::sim
