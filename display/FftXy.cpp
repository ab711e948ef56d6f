#include "display/FftXy.h"

#include <algorithm>
#include <cmath>

namespace tracebay::display {
namespace {

constexpr std::string_view Alternation = "ALTERNATION";

}  // namespace

// Data column d sits at screen column d + 150 - FftCentre; in a split screen the trace keeps to
// its half, a value of 87.5 or more lying on the half's bottom line.
void DrawFftTrace(platform::PictureSurface& surface, const Screen& screen,
                  const ScopeState::Samples& samples, int pointCount, const SystemBlock& block,
                  std::string_view triggerMode) {
    const double s = screen.s;
    const int span = acquisition::FftSpan(block.FftSpanCode());
    const int c = block.FftCentre();
    if ((span + 300) / 2.0 <= c) return;
    const int a = std::max(0, 150 - c);
    const int b = std::min(299, static_cast<int>(std::nearbyint(150 - c + span / 2.0)));
    if (a > b) return;
    const long i0 = std::max(2L, 2L * c - 298);
    if (pointCount <= 0) throw DrawingAbandoned("no points to draw");
    const bool full = block.FftFullScreen() != 0;
    const double originY =
        triggerMode == Alternation && block.FftLowerHalf() == 0 ? 25 : 25 + 100 * s;
    const auto row = [&](long i) {
        const double v = sampleAt(samples, i);
        return full ? 25 + v * s : originY + std::min(v + 12.5, 100.0) * s;
    };
    const double x0 = std::nearbyint(a * s) + 25;
    const double firstRow =
        full ? row(i0)
             : originY + std::min(std::nearbyint(sampleAt(samples, i0) + 12.5), 100.0) * s;
    surface.line(x0, row(i0 - 1), x0, firstRow);
    const float step = static_cast<float>(300.0 / pointCount * s);
    long index = i0;
    for (float x = static_cast<float>(x0 + s); x <= b * s + 24; x += step)
        surface.lineTo(platform::PictureSurface::pixel(double{x} - 0.1), row(++index));
}

// CH1 runs left to right (higher voltage further right), CH2 top to bottom; the dots are not
// joined.
void DrawXYTrace(platform::PictureSurface& surface, const Screen& screen,
                 const ScopeState::Samples& ch1, const ScopeState::Samples& ch2, int pointCount) {
    const double s = screen.s;
    surface.setDrawWidth(2);
    for (long i = 1; i <= pointCount; ++i) {
        const double u = sampleAt(ch1, i + 212);
        const double w = sampleAt(ch2, i + 212);
        surface.pset((250 - u) * s + 25, w * s + 25);
    }
    surface.setDrawWidth(1);
}

void DrawXYAnnotation(platform::PictureSurface& surface, const Screen& screen,
                      const std::string& ch1ScaleText, const std::string& ch2ScaleText,
                      bool colorDisplay) {
    const double s = screen.s;
    surface.setBold(true);
    surface.setForeColor(colorDisplay ? XyColor : Black);
    surface.textOut(110 * s + 25, 10, "X-Y Mode");
    surface.setForeColor(colorDisplay ? Ch1TraceColor : Black);
    surface.textOut(25, 204 * s + 25, "CH1 " + ch1ScaleText);
    surface.setForeColor(colorDisplay ? Ch2TraceColor : Black);
    surface.textOut(75 * s + 25, 204 * s + 25, "CH2 " + ch2ScaleText);
}

}  // namespace tracebay::display
