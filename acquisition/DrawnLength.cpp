#include "acquisition/DrawnLength.h"

#include <algorithm>
#include <cmath>

namespace tracebay::acquisition {
namespace {

constexpr int Columns = 300;
constexpr int32_t LogicBlockEnd = 2048;  // the logic drawing reads its samples up to here
constexpr int32_t XyFirstElement = 212;

int column(int value) { return std::clamp(value, 0, Columns - 1); }

// A trace drawn from element `first` reads the element before it, and one more per point over
// `columns` columns: columns * pointCount / 300 of them. (The first point's place is rounded
// down to a pixel, which leaves no room for another point at any zoom.)
int32_t lastElement(long first, int columns, int pointCount) {
    return static_cast<int32_t>(first +
                                static_cast<long>(std::max(columns, 0)) * pointCount / Columns);
}

int32_t channelLength(bool upper, const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    int a = column(block.ScreenStart());
    int b = column(block.ScreenEnd());
    if (slot.TriggerMode == "ALTERNATION") {
        a = column(upper ? block.AltUpperStart() : block.AltLowerStart());
        b = column(upper ? block.AltUpperEnd() : block.AltLowerEnd());
    }
    return a > b ? 0 : lastElement(2L * a + 214, b - a, slot.PointCount);
}

int32_t mathLength(const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    const bool alternate = slot.TriggerMode == "ALTERNATION";
    const int a = column(alternate ? block.AltLowerStart() : block.ScreenStart());
    const int b = column(alternate ? block.AltLowerEnd() : block.ScreenEnd());
    return a > b ? 0 : lastElement(2L * a + 2, b - a, slot.PointCount);
}

// The FFT's data column d sits at screen column d + 150 - centre, over the span's width; its
// points end a column before the window does.
int32_t fftLength(const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    const int span = FftSpan(block.FftSpanCode());
    const int c = block.FftCentre();
    if ((span + 300) / 2.0 <= c) return 0;
    const int a = std::max(0, 150 - c);
    const int b = std::min(Columns - 1, static_cast<int>(std::nearbyint(150 - c + span / 2.0)));
    return a > b ? 0 : lastElement(std::max(2L, 2L * c - 298), b - a - 1, slot.PointCount);
}

// Pairs of bytes from the window's first column on, up to the end of the logic block.
int32_t logicLength(const ScopeState& slot) {
    const long start = 4L * column(slot.SystemBlock.ScreenStart()) + 425;
    return static_cast<int32_t>(start + 2 * ((LogicBlockEnd - start) / 2) + 1);
}

}  // namespace

int32_t drawnBlockLength(std::string_view source, const ScopeState& slot) {
    if (slot.PointCount <= 0) return 0;
    if (slot.IsXY) return XyFirstElement + slot.PointCount;
    if (source == "CH1") return channelLength(true, slot);
    if (source == "CH2") return channelLength(false, slot);
    if (source == "MATH") return mathLength(slot);
    if (source == "FFT") return fftLength(slot);
    if (source == "LA") return logicLength(slot);
    return 0;
}

}  // namespace tracebay::acquisition
