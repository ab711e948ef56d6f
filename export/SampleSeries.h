#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"

namespace tracebay::exporting {

// Screen positions first..last (columns or X-Y points); empty when first > last.
struct Span {
    int first = 0;
    int last = -1;
    bool holds(int position) const { return position >= first && position <= last; }
    bool empty() const { return first > last; }
};

// The screen columns a system block names, kept on the screen.
Span columnSpan(int start, int end);

// A quantity along the screen: (column - zeroColumn) * perColumn; nothing without a positive
// step (a time base whose texts did not read as numbers).
struct Horizontal {
    double zeroColumn = 0;
    double perColumn = 0;
    std::optional<double> at(int column) const;
};

// A sample row as a value: rows above the ground row times a value per row; nothing without a
// row or a positive step.
struct Vertical {
    double groundRow = 100;
    double perRow = 0;
    std::optional<double> at(std::optional<int32_t> row) const;
};

// Seconds from the trigger position, which lies 150 - 25 offset / scale columns from the left
// grid line, from the texts below the grid ("500.0us", "-2.000ms").
Horizontal timeBase(const std::string& scaleText, const std::string& offsetText);

// One source of an upload as its values are exported and measured: for Y-T a sample per screen
// column of the source's window (the first of the column's two), for X-Y one per point. It
// reads the upload's own arrays, so it lives no longer than the upload.
struct SampleSeries {
    std::string source;  // "CH1", "CH2", "MATH" or "FFT"
    std::string unit;    // of its values: "V", "V^2", "Vrms" or "dBVrms"
    Span positions;      // screen columns (Y-T) or points (X-Y)
    // Y-T: seconds from the trigger, the FFT hertz, by screen column; X-Y: none.
    Horizontal axis;
    Vertical vertical;
    const acquisition::ScopeState::Samples* samples = nullptr;
    long stride = 1;  // sample index = stride * position + offset
    long offset = 0;

    std::optional<int32_t> row(int position) const;
    std::optional<double> value(int position) const { return vertical.at(row(position)); }
};

// The sources the upload holds, in the order CH1, CH2, MATH or FFT: captured sources whose
// trace the instrument showed and whose block came with the upload. X-Y: CH1 and CH2, when both
// came and there are points.
std::vector<SampleSeries> sampleSeries(const acquisition::ScopeState& upload);

}  // namespace tracebay::exporting
