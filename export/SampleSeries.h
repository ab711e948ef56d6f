#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/ScopeState.h"
#include "acquisition/ScreenAxes.h"

namespace tracebay::exporting {

// Whether the instrument showed a source (its valid byte `valid`) and its block came with the
// last upload.
bool delivered(const acquisition::ScopeState& slot, std::string_view source, uint8_t valid,
               const acquisition::ScopeState::Samples& samples);

// Samples that stand at places first place + i * step, i = 0, 1, ...: screen columns in Y-T,
// points' numbers in X-Y.
struct Places {
    double firstPlace = 0;
    double step = 0;

    double place(size_t i) const { return firstPlace + step * static_cast<double>(i); }
    // The sample at `place` of `count`; nothing between two samples or outside them.
    std::optional<size_t> indexAt(double place, size_t count) const;
};

// One trace of an upload with every sample its drawing reads, in order, each at its own place:
// in Y-T two a screen column at 600 points (a channel's element 2c + 214 and the next for column
// c), in X-Y one a point. Rows count down from the top grid line over the full screen's 200, as
// the instrument placed the sample; a split-screen FFT's rows are given in those terms too.
struct SampleSeries : Places {
    std::string source;  // "CH1", "CH2", "MATH" or "FFT"
    std::string unit;    // of its values: "V", "V^2", "Vrms" or "dBVrms"
    // Y-T: seconds from the trigger, the FFT hertz, by screen column; X-Y: none.
    acquisition::Horizontal axis;
    acquisition::Vertical vertical;
    std::vector<int32_t> rows;
    // The rows the screen can show; a sample on either, or beyond, may stand for a level the
    // screen cut off.
    int32_t topRow = 0;
    int32_t bottomRow = 199;

    size_t size() const { return rows.size(); }
    std::optional<double> time(size_t i) const { return axis.at(place(i)); }
    std::optional<double> value(size_t i) const { return vertical.at(rows[i]); }
    bool clipped(size_t i) const { return rows[i] <= topRow || rows[i] >= bottomRow; }
    std::optional<size_t> indexAt(double place) const { return Places::indexAt(place, size()); }
};

// The traces the upload holds, in the order CH1, CH2, MATH or FFT: captured sources whose trace
// the instrument showed and whose block came with the upload. X-Y: CH1 and CH2, when both came
// and there are points. A block shorter than the drawing reads gives the samples it holds.
std::vector<SampleSeries> sampleSeries(const acquisition::ScopeState& upload);

// The logic lines as drawn: two 16-bit words a screen column of the valid window, bit k the level
// of Dk, the time base the screen's.
struct LogicSeries : Places {
    std::vector<uint16_t> words;
    acquisition::Horizontal time;

    size_t size() const { return words.size(); }
    bool level(size_t i, int line) const { return (words[i] >> line) & 1; }
    std::optional<size_t> indexAt(double place) const { return Places::indexAt(place, size()); }
};

// Nothing when the upload holds no logic lines: not a Y-T screen, the lines not captured, or
// their block not delivered with it.
std::optional<LogicSeries> logicSeries(const acquisition::ScopeState& upload);

}  // namespace tracebay::exporting
