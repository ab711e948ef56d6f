#include "acquisition/DrawnElements.h"

#include <algorithm>
#include <cmath>

namespace tracebay::acquisition {
namespace {

constexpr int Columns = 300;
constexpr int32_t LogicBlockEnd = 2048;  // the logic drawing reads its samples up to here
constexpr long XyFirstElement = 213;

int column(int value) { return std::clamp(value, 0, Columns - 1); }

// A trace whose points start at column a with element i0 reads the element before it (the
// vertical first segment), then one more per point over `columns` columns: columns * pointCount
// / 300 of them. (The first point's place is rounded down to a pixel, which leaves no room for
// another point at any zoom.) The points lie 300 / pointCount columns apart.
DrawnElements traceElements(int a, long i0, int columns, int pointCount) {
    const double step = static_cast<double>(Columns) / pointCount;
    return {i0 - 1, i0 + static_cast<long>(std::max(columns, 0)) * pointCount / Columns, a - step,
            step};
}

DrawnElements channelElements(bool upper, const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    int a = column(block.ScreenStart());
    int b = column(block.ScreenEnd());
    if (slot.TriggerMode == "ALTERNATION") {
        a = column(upper ? block.AltUpperStart() : block.AltLowerStart());
        b = column(upper ? block.AltUpperEnd() : block.AltLowerEnd());
    }
    if (a > b) return {};
    return traceElements(a, 2L * a + 214, b - a, slot.PointCount);
}

DrawnElements mathElements(const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    const bool alternate = slot.TriggerMode == "ALTERNATION";
    const int a = column(alternate ? block.AltLowerStart() : block.ScreenStart());
    const int b = column(alternate ? block.AltLowerEnd() : block.ScreenEnd());
    if (a > b) return {};
    return traceElements(a, 2L * a + 2, b - a, slot.PointCount);
}

// The FFT's data column d sits at screen column d + 150 - centre, over the span's width; its
// points end a column before the window does.
DrawnElements fftElements(const ScopeState& slot) {
    const SystemBlock& block = slot.SystemBlock;
    const int span = FftSpan(block.FftSpanCode());
    const int c = block.FftCentre();
    if ((span + 300) / 2.0 <= c) return {};
    const int a = std::max(0, 150 - c);
    const int b = std::min(Columns - 1, static_cast<int>(std::nearbyint(150 - c + span / 2.0)));
    if (a > b) return {};
    return traceElements(a, std::max(2L, 2L * c - 298), b - a - 1, slot.PointCount);
}

DrawnElements xyElements(const ScopeState& slot) {
    return {XyFirstElement, XyFirstElement - 1 + slot.PointCount, 1, 1};
}

}  // namespace

DrawnElements drawnElements(std::string_view source, const ScopeState& slot) {
    if (slot.PointCount <= 0) return {};
    if (slot.IsXY) return source == "CH1" || source == "CH2" ? xyElements(slot) : DrawnElements{};
    if (source == "CH1") return channelElements(true, slot);
    if (source == "CH2") return channelElements(false, slot);
    if (source == "MATH") return mathElements(slot);
    if (source == "FFT") return fftElements(slot);
    return {};
}

DrawnWords drawnWords(const ScopeState& slot) {
    const int a = column(slot.SystemBlock.ScreenStart());
    const int b = column(slot.SystemBlock.ScreenEnd());
    if (a > b) return {};
    return {4L * a + 425, 2 * (b - a + 1), static_cast<double>(a)};
}

// The logic drawing reads pairs of bytes from the window's first column on, up to the end of the
// logic block, whatever part of them it shows.
int32_t drawnBlockLength(std::string_view source, const ScopeState& slot) {
    if (slot.PointCount <= 0) return 0;
    if (source == "LA" && !slot.IsXY) {
        const long start = 4L * column(slot.SystemBlock.ScreenStart()) + 425;
        return static_cast<int32_t>(start + 2 * ((LogicBlockEnd - start) / 2) + 1);
    }
    const DrawnElements drawn = drawnElements(source, slot);
    return drawn.empty() ? 0 : static_cast<int32_t>(drawn.last);
}

}  // namespace tracebay::acquisition
