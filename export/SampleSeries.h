#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/ScopeState.h"
#include "acquisition/ScreenAxes.h"

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
// Whether the instrument showed a source (its valid byte `valid`) and its block came with the
// last upload.
bool delivered(const acquisition::ScopeState& slot, std::string_view source, uint8_t valid,
               const acquisition::ScopeState::Samples& samples);

// One source of an upload as its values are exported and measured: for Y-T a sample per screen
// column of the source's window (the first of the column's two), for X-Y one per point. It
// reads the upload's own arrays, so it lives no longer than the upload.
struct SampleSeries {
    std::string source;  // "CH1", "CH2", "MATH" or "FFT"
    std::string unit;    // of its values: "V", "V^2", "Vrms" or "dBVrms"
    Span positions;      // screen columns (Y-T) or points (X-Y)
    // Y-T: seconds from the trigger, the FFT hertz, by screen column; X-Y: none.
    acquisition::Horizontal axis;
    acquisition::Vertical vertical;
    const acquisition::ScopeState::Samples* samples = nullptr;
    long stride = 1;  // sample index = stride * position + offset
    long offset = 0;

    std::optional<int32_t> row(int position) const;
    std::optional<double> value(int position) const {
        const auto sample = row(position);
        return sample ? vertical.at(*sample) : std::nullopt;
    }
};

// The sources the upload holds, in the order CH1, CH2, MATH or FFT: captured sources whose
// trace the instrument showed and whose block came with the upload. X-Y: CH1 and CH2, when both
// came and there are points.
std::vector<SampleSeries> sampleSeries(const acquisition::ScopeState& upload);

}  // namespace tracebay::exporting
