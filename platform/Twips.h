#pragma once

#include <QRect>

#include <cmath>

namespace tracebay::platform {

// Window geometry is given in twips; a logical pixel is 15 twips (96 dots per inch).
inline constexpr int TwipsPerPixel = 15;

// A place in twips, relative to the container.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// Rounded to the nearest pixel.
inline int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}
inline double pixelsToTwips(double pixels) { return pixels * TwipsPerPixel; }
inline QRect toPixels(const TwipRect& place) {
    return {twipsToPixels(place.left), twipsToPixels(place.top), twipsToPixels(place.width),
            twipsToPixels(place.height)};
}

}  // namespace tracebay::platform
