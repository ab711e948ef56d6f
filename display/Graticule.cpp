#include "display/Graticule.h"

#include <vector>

namespace tracebay::display {
namespace {

using platform::PictureSurface;

// A place on the screen in whole pixels; points are drawn in single precision, as the screen
// they copy.
int place(double value) { return PictureSurface::pixel(static_cast<float>(value)); }

// The places start, start + step, start + 2 step, ... up to start + length, by repeated
// addition (so the last one may be missed by rounding, as on the instrument).
std::vector<int> places(double start, double step, double length) {
    std::vector<int> result;
    if (step <= 0) return result;
    for (double k = 0; k <= length; k += step) result.push_back(place(start + k));
    return result;
}

// The depths of the tick loop: d = 1.0, 1.1, ... while d <= s; none below scale 1.
template <typename At>
void tickDepths(double s, At at) {
    for (double d = 1.0; d <= s; d += 0.1) at(d);
}

void drawBorder(PictureSurface& surface, const Screen& screen) {
    surface.setDrawWidth(2);
    surface.line(25, 25, screen.GridRight(), 25);
    surface.line(25, 25, 25, screen.GridBottom());
    surface.lineTo(screen.GridRight(), screen.GridBottom());
    surface.lineTo(screen.GridRight(), 25);
    surface.setDrawWidth(1);
    surface.line(25, screen.GridCentreY(), screen.GridRight(), screen.GridCentreY());
    surface.line(screen.GridCentreX(), 25, screen.GridCentreX(), screen.GridBottom());
}

// The tick marks: at each depth d, minor and major ticks along every border and centre line,
// one pixel further in per 0.1 of d, so that they lengthen with the zoom.
void drawTicks(PictureSurface& surface, const Screen& screen, double verticalMinor) {
    const double s = screen.s;
    const auto minorX = places(25, 5 * s, 300 * s);
    const auto majorX = places(25, 25 * s, 300 * s);
    const auto minorY = places(25, verticalMinor, 200 * s);
    const auto majorY = places(25, 25 * s, 200 * s);
    const double cy = screen.GridCentreY();
    const double cx = screen.GridCentreX();
    const double bottom = screen.GridBottom();
    const double right = screen.GridRight();
    tickDepths(s, [&](double d) {
        const auto horizontal = [&](double minorRow, double majorRow) {
            surface.psetRow(minorX, place(minorRow));
            surface.psetRow(majorX, place(majorRow));
        };
        horizontal(25 + d, 25 + 2 * d);
        horizontal(cy - d, cy - 2 * d);
        horizontal(cy + d, cy + 2 * d);
        horizontal(bottom - 2 * d, bottom - 3 * d);
        const auto vertical = [&](double minorColumn, double majorColumn) {
            surface.psetColumn(place(minorColumn), minorY);
            surface.psetColumn(place(majorColumn), majorY);
        };
        vertical(25 + d, 25 + 2 * d);
        vertical(cx - d, cx - 2 * d);
        vertical(cx + d, cx + 2 * d);
        vertical(right - 2 * d, right - 3 * d);
    });
}

// Dotted rows `rowStep` apart with a dot every 5 s, and dotted columns every division with a
// dot every `columnStep`; the border and centre lines carry dots as well.
void drawDots(PictureSurface& surface, const Screen& screen, double rowStep, double columnStep) {
    const double s = screen.s;
    const auto alongRow = places(25, 5 * s, 300 * s);
    for (int y : places(25, rowStep, 200 * s)) surface.psetRow(alongRow, y);
    const auto alongColumn = places(25, columnStep, 200 * s);
    for (int x : places(25, 25 * s, 300 * s)) surface.psetColumn(x, alongColumn);
}

void drawGrid(PictureSurface& surface, const Screen& screen, bool dualScreen) {
    const double s = screen.s;
    if (!dualScreen) {
        drawDots(surface, screen, 25 * s, 5 * s);
        return;
    }
    // Minor ticks beside the centre lines of the two halves.
    const auto minorX = places(25, 5 * s, 300 * s);
    tickDepths(s, [&](double d) {
        surface.psetRow(minorX, place(25 + 50 * s - d));
        surface.psetRow(minorX, place(25 + 150 * s + d));
    });
    drawDots(surface, screen, 12.5 * s, 6.25 * s);
}

}  // namespace

void DrawScrGrid(PictureSurface& surface, const Screen& screen, const GraticuleView& view) {
    surface.setBackColor(screenBackground(view.ColorDisplay));
    surface.setForeColor(view.ColorDisplay ? LightGrey : Black);
    drawBorder(surface, screen);
    drawTicks(surface, screen, (view.DualScreen ? 6.25 : 5) * screen.s);
    if (view.GridVisible) drawGrid(surface, screen, view.DualScreen);
    surface.setForeColor(view.ColorDisplay ? LogoColor : Black);
    surface.setBold(true);
    surface.textOut(25, 10, "KAVLO");
    surface.setBold(false);
}

}  // namespace tracebay::display
