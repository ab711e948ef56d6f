#include "mask/Overlay.h"

#include <algorithm>
#include <cmath>

#include "export/SampleSeries.h"

namespace tracebay::mask {
namespace {

using display::Screen;
using platform::PictureSurface;

constexpr std::string_view Alternation = "ALTERNATION";

// Where a trace's times and values fall on the picture: its axes, and the rows of the grid it
// is drawn in (the full screen, or a half at half height).
struct Placement {
    acquisition::Horizontal axis;
    acquisition::Vertical vertical;
    double topRow = 0;
    double factor = 1;

    // The drawing puts a sample half a column right of its place.
    double x(const Screen& screen, double time) const {
        const double column = axis.zeroColumn + time / axis.perColumn;
        return std::clamp(Screen::GridLeft + (column + 0.5) * screen.s, Screen::GridLeft,
                          screen.GridRight());
    }
    double y(const Screen& screen, double value) const {
        const double row = std::clamp(vertical.groundRow - value / vertical.perRow, 0.0,
                                      static_cast<double>(Screen::Rows));
        return Screen::GridTop + (topRow + factor * row) * screen.s;
    }
};

// A split screen draws CH1 in the upper half, CH2 and MATH in the lower one in alternate
// trigger, and the channels in the upper half beside a split FFT.
Placement placed(const exporting::SampleSeries& series, const acquisition::ScopeState& shown) {
    Placement p{series.axis, series.vertical};
    const bool alternate = shown.TriggerMode == Alternation;
    const bool besideSplitFft = shown.FftDisplay == "ON" && shown.SystemBlock.FftFullScreen() == 0;
    if (alternate || besideSplitFft) p.factor = 0.5;
    if (alternate && series.source != "CH1") p.topRow = Screen::Rows / 2.0;
    return p;
}

// The placement of `source` in the shown upload; nothing when it holds no such trace in time.
std::optional<Placement> placementIn(const acquisition::ScopeState& shown,
                                     const std::string& source) {
    if (!shown.IsYT) return std::nullopt;
    for (const exporting::SampleSeries& series : exporting::sampleSeries(shown))
        if (series.source == source && series.axis.perColumn > 0 && series.vertical.perRow > 0)
            return placed(series, shown);
    return std::nullopt;
}

// The band's extent in each pixel column it reaches: topmost and bottommost pixel.
struct BandColumns {
    std::vector<int> top, bottom;

    explicit BandColumns(int width) : top(width, INT32_MAX), bottom(width, INT32_MIN) {}
    void cover(int x, double y1, double y2) {
        if (x < 0 || x >= static_cast<int>(top.size())) return;
        top[x] = std::min(top[x], PictureSurface::pixel(std::min(y1, y2)));
        bottom[x] = std::max(bottom[x], PictureSurface::pixel(std::max(y1, y2)));
    }
    bool covered(size_t x) const { return top[x] <= bottom[x]; }
};

// Each stretch between two points covers every pixel column it reaches with the larger of the
// two bounds' spans, so that the band never leaves out a column, at any zoom.
BandColumns bandColumns(const Mask& mask, const Placement& at, const Screen& screen, int width) {
    BandColumns band(width);
    for (size_t i = 0; i < mask.points.size(); ++i) {
        const MaskPoint& a = mask.points[i];
        const MaskPoint& b = mask.points[std::min(i + 1, mask.points.size() - 1)];
        const double high = std::min(at.y(screen, a.upper), at.y(screen, b.upper));
        const double low = std::max(at.y(screen, a.lower), at.y(screen, b.lower));
        const int from = PictureSurface::pixel(at.x(screen, a.time));
        const int to = std::max(from, PictureSurface::pixel(at.x(screen, b.time)) - 1);
        for (int x = from; x <= to; ++x) band.cover(x, high, low);
    }
    return band;
}

// Neighbouring columns of the same extent become one box, so that no pixel is laid over twice.
void drawBand(PictureSurface& surface, const BandColumns& band) {
    const size_t width = band.top.size();
    for (size_t x = 0; x < width;) {
        if (!band.covered(x)) {
            ++x;
            continue;
        }
        size_t end = x + 1;
        while (end < width && band.top[end] == band.top[x] && band.bottom[end] == band.bottom[x])
            ++end;
        surface.fillBox(static_cast<double>(x), band.top[x], static_cast<double>(end - x),
                        band.bottom[x] - band.top[x] + 1, MaskBandOpacity);
        x = end;
    }
}

void markOutside(PictureSurface& surface, const Screen& screen, const Placement& at,
                 const Mask& mask, const acquisition::ScopeState& shown) {
    std::string why;
    const auto check = checkUpload(mask, shown, why);
    if (!check) return;
    const auto series = exporting::sampleSeries(shown);
    const auto& traced = *std::find_if(series.begin(), series.end(),
                                       [&](const auto& s) { return s.source == mask.source; });
    for (const size_t i : check->outside)
        surface.fillBox(at.x(screen, *traced.time(i)) - 1, at.y(screen, *traced.value(i)) - 1, 3,
                        3);
}

void drawMask(PictureSurface& surface, const Screen& screen, const acquisition::ScopeState& shown,
              const Mask& mask) {
    const auto at = placementIn(shown, mask.source);
    if (!at || mask.points.empty()) return;
    surface.setForeColor(shown.ColorDisplay ? MaskBandColor : display::Black);
    drawBand(surface, bandColumns(mask, *at, screen, surface.width()));
    surface.setForeColor(shown.ColorDisplay ? OutsideColor : display::Black);
    markOutside(surface, screen, *at, mask, shown);
}

void drawReference(PictureSurface& surface, const Screen& screen,
                   const acquisition::ScopeState& shown, const LabelledReference& reference) {
    const Reference& trace = reference.trace;
    if (trace.samples.empty() || !(trace.axis.perColumn > 0) || !(trace.vertical.perRow > 0))
        return;
    const Placement at =
        placementIn(shown, trace.source).value_or(Placement{trace.axis, trace.vertical});
    const auto point = [&](const TimedSample& s) {
        return std::pair{at.x(screen, s.time), at.y(screen, s.value)};
    };
    const auto [x0, y0] = point(trace.samples.front());
    if (trace.samples.size() == 1) surface.pset(x0, y0);
    for (size_t i = 1; i < trace.samples.size(); ++i) {
        const auto [x, y] = point(trace.samples[i]);
        if (i == 1)
            surface.line(x0, y0, x, y);
        else
            surface.lineTo(x, y);
    }
    surface.setBold(false);
    surface.textOut(2, y0 - 6, marginLabel(reference.label));
}

}  // namespace

display::Rgb referenceColor(const std::string& label, bool colorScheme) {
    if (!colorScheme) return display::rgb(128, 128, 128);
    return label == "REF B" ? display::rgb(255, 255, 255) : display::rgb(255, 128, 192);
}

std::string marginLabel(const std::string& label) {
    return "R" + label.substr(label.find_last_of(' ') + 1);
}

void drawComparison(PictureSurface& surface, const Screen& screen,
                    const acquisition::ScopeState& shown, const Comparison& comparison) {
    if (shown.HasData && !shown.IsYT) return;
    if (comparison.mask) drawMask(surface, screen, shown, *comparison.mask);
    for (const LabelledReference& reference : comparison.references) {
        surface.setForeColor(referenceColor(reference.label, shown.ColorDisplay));
        drawReference(surface, screen, shown, reference);
    }
}

display::PicturePass comparisonPass(Comparison comparison) {
    return [comparison = std::move(comparison)](PictureSurface& surface, const Screen& screen,
                                                const acquisition::ScopeState& shown) {
        drawComparison(surface, screen, shown, comparison);
    };
}

}  // namespace tracebay::mask
