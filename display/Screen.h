#pragma once

#include <stdexcept>

#include "platform/PictureSurface.h"

namespace tracebay::display {

using platform::Rgb;
using platform::rgb;

// The instrument screen modelled in base units, 300 x 200, 25 to a division; ScreenScale
// pixels to a base unit; the grid's top-left corner fixed at pixel (25, 25).
struct Screen {
    static constexpr double GridLeft = 25;
    static constexpr double GridTop = 25;
    static constexpr int Columns = 300;
    static constexpr int Rows = 200;

    double s = 1.0;  // ScreenScale

    double GridRight() const { return GridLeft + Columns * s; }
    double GridBottom() const { return GridTop + Rows * s; }
    double GridCentreX() const { return GridLeft + Columns / 2.0 * s; }
    double GridCentreY() const { return GridTop + Rows / 2.0 * s; }
    // The picture that holds the screen and its margins.
    int pictureWidth() const { return platform::PictureSurface::pixel(350 * s); }
    int pictureHeight() const { return platform::PictureSurface::pixel(250 * s); }
};

inline constexpr Rgb Black = rgb(0, 0, 0);
inline constexpr Rgb White = rgb(255, 255, 255);
inline constexpr Rgb LightGrey = rgb(192, 192, 192);
inline constexpr Rgb LogoColor = rgb(255, 128, 0);
inline constexpr Rgb TriggerColor = rgb(255, 128, 0);
inline constexpr Rgb XyColor = rgb(0, 255, 0);

inline constexpr Rgb Ch1TraceColor = rgb(255, 255, 0);
inline constexpr Rgb Ch2TraceColor = rgb(0, 255, 255);
inline constexpr Rgb MathTraceColor = rgb(128, 0, 255);
inline constexpr Rgb LaTraceColor = rgb(0, 255, 0);
inline constexpr Rgb LaSelectedColor = rgb(255, 0, 0);

// The colour of the screen's background in each scheme.
inline Rgb screenBackground(bool colorScheme) { return colorScheme ? Black : White; }

// A drawing step that cannot go on, such as a sample read outside its array: the step stops
// and the repaint goes on with the next one.
struct DrawingAbandoned : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tracebay::display
