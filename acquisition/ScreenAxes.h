#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// Rows per vertical division and base units per horizontal division on the screen.
inline constexpr double RowsPerDivision = 25;
inline constexpr double ColumnsPerDivision = 25;

// A quantity along the screen: (column - zeroColumn) * perColumn; nothing without a positive
// step (a time base whose texts did not read as numbers).
struct Horizontal {
    double zeroColumn = 0;
    double perColumn = 0;
    std::optional<double> at(double column) const;
    bool operator==(const Horizontal&) const = default;
};

// A sample row as a value: rows above the ground row times a value per row; nothing without a
// row or a positive step.
struct Vertical {
    double groundRow = 100;
    double perRow = 0;
    std::optional<double> at(std::optional<double> row) const;
    bool operator==(const Vertical&) const = default;
};

// Seconds from the trigger position, which lies 150 - 25 offset / scale columns from the left
// grid line, from the texts below the grid ("500.0us", "-2.000ms").
Horizontal timeBase(const std::string& scaleText, const std::string& offsetText);
// Volts from a channel's ground marker, 100 - 25 offset / scale rows below the top grid line,
// from its texts ("500mV", "1.00V").
Vertical channelVertical(const std::string& scaleText, const std::string& offsetText);
// A trace whose place the system block gives (MATH, FFT): its ground `offsetRows` above the
// centre row, `scale` a division.
Vertical blockVertical(int16_t offsetRows, double scale);

// Whether the screen shows the channels in halves, each with a time base of its own.
bool alternateTrigger(const ScopeState& slot);
// The time base of the upper (CH1) or lower (CH2) half in alternate trigger; the screen's
// otherwise.
Horizontal halfTimeBase(const ScopeState& slot, bool upper);

}  // namespace tracebay::acquisition
