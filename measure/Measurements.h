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
    Top,
    Base,
    Amplitude,
    Frequency,
    Period,
    Duty,
    PWidth,
    NWidth,
    Rise,
    Fall,
    Overshoot,
    Preshoot,
    CycleMean,
    CycleRms,
    PeakFrequency,
    PeakLevel,
    Delay,
    Phase,
};
inline constexpr Figure LastFigure = Figure::Phase;

// The figure's name in the JSON and in the command line's table: "vmax", "peak_frequency".
std::string_view figureKey(Figure figure);
// The figure as people read it, the measurements window's column: "Pk-Pk", "+Width".
std::string_view figureName(Figure figure);
// The figure of a key; nothing for none.
std::optional<Figure> figureOfKey(std::string_view key);

// Why a figure is null: the texts of the JSON's "why" objects and the window's tooltips.
namespace Why {
inline constexpr std::string_view ClippedTop = "clipped at the top of the grid";
inline constexpr std::string_view ClippedBottom = "clipped at the bottom of the grid";
inline constexpr std::string_view ClippedBoth = "clipped at the top and the bottom of the grid";
inline constexpr std::string_view FewPeriods = "fewer than two periods on the screen";
inline constexpr std::string_view UnderSampled = "under-sampled: fewer than 4 samples a period";
inline constexpr std::string_view Irregular = "irregular: the periods on the screen differ";
inline constexpr std::string_view Flat = "flat: no edge on the screen";
inline constexpr std::string_view NoTop =
    "no top on the screen: the highest samples are at its edge";
inline constexpr std::string_view NoBase =
    "no base on the screen: the lowest samples are at its edge";
inline constexpr std::string_view NoRisingEdge = "no whole rising edge on the screen";
inline constexpr std::string_view NoFallingEdge = "no whole falling edge on the screen";
inline constexpr std::string_view NoPositivePulse = "no whole positive pulse on the screen";
inline constexpr std::string_view NoNegativePulse = "no whole negative pulse on the screen";
inline constexpr std::string_view NoTimeBase = "the time base could not be read";
inline constexpr std::string_view NoScale = "the scale could not be read";
inline constexpr std::string_view NoFrequencyScale = "the frequency scale could not be read";
inline constexpr std::string_view TwoTimeBases = "CH1 and CH2 on different time bases";
inline constexpr std::string_view OtherPeriods = "CH1 and CH2 differ in period";
inline constexpr std::string_view NoFollowingEdge =
    "no CH2 rising edge after a CH1 one on the screen";
// "faster than one sample (< 10 us)": an edge that completes between two samples.
std::string faster(double sampleInterval);
}  // namespace Why

struct Measured {
    Figure figure;
    std::optional<double> value;  // SI base units (the duty and the shoots as fractions, the
                                  // phase in degrees); nothing where it cannot be determined
    std::string why;              // for nothing: the reason
    double resolution = 0;        // the finest step the screen gives the value; 0: none
    bool operator==(const Measured&) const = default;
};

// The figures of one source of an upload, with how fine the screen shows them; or of the pair
// "CH1-CH2" (their delay and phase).
struct SourceFigures {
    std::string source;  // "CH1", "CH2", "MATH", "FFT" or "CH1-CH2"
    std::string unit;    // of the levels: "V", "V^2", "Vrms" or "dBVrms"; the pair: none
    bool trace = true;   // a source's trace, which can be clipped; not the pair
    // A sample on the first or last row the screen shows, or beyond: what the grid cut off, or
    // empty: Why::ClippedTop, ClippedBottom or ClippedBoth.
    std::string clipped;
    std::vector<Measured> figures;

    // The figure's value; nothing when it was not determinable or is not one of this source's.
    std::optional<double> operator[](Figure figure) const;
    const Measured* find(Figure figure) const;
    bool has(Figure figure) const { return find(figure) != nullptr; }
};

// The figures of every source the upload holds, over every sample the drawing reads: Y-T sources
// (CH1, CH2, MATH) the nineteen of a trace, each on its own time base and scale; X-Y the five
// level figures of CH1 and CH2; an FFT the frequency and level of its highest column; then, for
// CH1 and CH2 on a Y-T screen, the pair "CH1-CH2" with their delay and phase.
std::vector<SourceFigures> measureUpload(const acquisition::ScopeState& upload);

}  // namespace tracebay::measure
