#include "mainwindow/Layout.h"

#include <algorithm>
#include <cmath>

#include "platform/PictureSurface.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow::Layout {
namespace {

using platform::pixelsToTwips;
using platform::twipsToPixels;

using platform::PictureSurface;

int largeChange(int inView, int whole) {
    return static_cast<int>(std::lround(static_cast<double>(inView) / whole * 100));
}

}  // namespace

std::optional<QRect> backPicGeometry(QSize client) {
    const int left = twipsToPixels(ColumnWidthTwips);
    const int top = twipsToPixels(ViewportTopTwips);
    const QRect place(left, top, client.width() - left, client.height() - top);
    if (place.width() < 0 || place.height() < 0) return std::nullopt;
    return place;
}

QSize viewportSize(QRect backPic) {
    return {std::max(0, backPic.width() - 2 * BackPicBorder),
            std::max(0, backPic.height() - 2 * BackPicBorder)};
}

double bestFitScale(QSize viewport) {
    const double zx = viewport.width() / 350.0;
    const double zy = viewport.height() / 250.0;
    return std::clamp(std::min(zx, zy), MinimumScale, MaximumScale);
}

QSize wavePicSize(double scale) {
    return {PictureSurface::pixel(350 * scale), PictureSurface::pixel(250 * scale)};
}

ScrollBars scrollBars(QRect backPic, QSize picture) {
    const QSize view = viewportSize(backPic);
    const bool wide = picture.width() > view.width();
    const bool high = picture.height() > view.height();
    // In twips, as the window places its controls.
    const double l = pixelsToTwips(backPic.left()), t = pixelsToTwips(backPic.top());
    const double bw = pixelsToTwips(backPic.width()), bh = pixelsToTwips(backPic.height());
    const int thickness = twipsToPixels(ScrollBarThicknessTwips);
    // With both bars shown each leaves room for the other in the corner.
    const double corner = wide && high ? 250 : 0;
    ScrollBars bars;
    if (wide) {
        bars.horizontal = {true,
                           QRect(twipsToPixels(l + 20), twipsToPixels(t + bh - 280),
                                 twipsToPixels(bw - 40 - corner), thickness),
                           picture.width() - view.width(),
                           largeChange(view.width(), picture.width())};
    }
    if (high) {
        bars.vertical = {true,
                         QRect(twipsToPixels(l + bw - 280), twipsToPixels(t + 20), thickness,
                               twipsToPixels(bh - 45 - corner)),
                         picture.height() - view.height(),
                         largeChange(view.height(), picture.height())};
    }
    return bars;
}

QPoint indicatorPlace(QPoint wavePic, double scale, QSize indicator) {
    return {PictureSurface::pixel(wavePic.x() + 25 + 300 * scale - indicator.width() + 1),
            wavePic.y() + 25 - indicator.height() - 3};
}

int scrolledOffset(int value, int span) {
    return -PictureSurface::pixel(static_cast<double>(value) * span / 100);
}

}  // namespace tracebay::mainwindow::Layout
