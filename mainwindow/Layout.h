#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace tracebay::mainwindow {

// The geometry of the main window's layout pass, in pixels unless said otherwise. The widgets
// only apply what these functions compute.
namespace Layout {

inline constexpr int ColumnWidthTwips = 1200;  // BackPic's left edge: right of the left column
inline constexpr int ViewportTopTwips = 100;
inline constexpr int BackPicBorder = 2;              // the sunken frame round the viewport
inline constexpr int ScrollBarThicknessTwips = 255;  // the scroll bars' design height and width
inline constexpr double MinimumScale = 0.01;
inline constexpr double MaximumScale = 10;

// Where BackPic goes in a client area; nothing when the window is too small for it (the
// viewport then keeps its previous place and size).
std::optional<QRect> backPicGeometry(QSize client);
// The viewport inside BackPic's frame.
QSize viewportSize(QRect backPic);

// The scale at which the screen picture (350 x 250 base units) fits the viewport, within the
// scales the zoom field takes.
double bestFitScale(QSize viewport);
// The picture's size at a scale.
QSize wavePicSize(double scale);

struct ScrollBar {
    bool visible = false;
    QRect geometry;    // in the window
    int span = 0;      // pixels by which the picture overflows the viewport
    int pageStep = 0;  // the large change: the share of the picture in view, in percent
};
struct ScrollBars {
    ScrollBar horizontal;
    ScrollBar vertical;
};
// The scroll bars a picture needs in a viewport, placed over BackPic's lower and right edges.
ScrollBars scrollBars(QRect backPic, QSize picture);

// Where the connection indicator goes, in the viewport: its right edge one pixel right of the
// grid's right border, its bottom three pixels above the grid's top border.
QPoint indicatorPlace(QPoint wavePic, double scale, QSize indicator);

// The picture's offset for a scroll bar value (0..100 percent of the overflow).
int scrolledOffset(int value, int span);

}  // namespace Layout
}  // namespace tracebay::mainwindow
