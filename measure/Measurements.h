#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/ScopeState.h"

namespace tracebay::measure {

// Every figure, in the order they are shown.
enum class Figure {
    Vmax,
    Vmin,
    Vpp,
    Vmean,
    Vrms,
    Frequency,
    Period,
    Duty,
    Rise,
    Fall,
    PeakFrequency,
    PeakLevel,
};

// The figure's name in the JSON and in the table's header: "vmax", "peak_frequency".
std::string_view figureKey(Figure figure);

struct Measured {
    Figure figure;
    std::optional<double> value;  // SI base units; nothing where it cannot be determined
    bool operator==(const Measured&) const = default;
};

// The figures of one source of an upload, with how fine the screen shows them.
struct SourceFigures {
    std::string source;    // "CH1", "CH2", "MATH" or "FFT"
    std::string unit;      // of the levels: "V", "V^2", "Vrms" or "dBVrms"
    double levelStep = 0;  // a screen row's worth of level
    double axisStep = 0;   // a sample's worth of time (the FFT: of frequency); 0: none
    std::vector<Measured> figures;

    // The figure's value; nothing when it was not determinable or is not one of this source's.
    std::optional<double> operator[](Figure figure) const;
    bool has(Figure figure) const;
};

// The figures of every source the upload holds, over the samples its CSV gives: Y-T sources
// (CH1, CH2, MATH) all ten, each on its own time base and scale; X-Y the five level figures of
// CH1 and CH2; an FFT the frequency and level of its highest column.
std::vector<SourceFigures> measureUpload(const acquisition::ScopeState& upload);

}  // namespace tracebay::measure
