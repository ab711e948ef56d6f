#pragma once

#include <QFont>
#include <QStringList>

namespace tracebay::platform {

// The picture's texts are placed for a small sans serif: characters about 5 pixels wide on
// average, no digit wider than 6, lines 11 pixels high. Fonts are chosen by these metrics, in
// normal and bold weight alike, rather than by a point size.
struct PictureFontLimits {
    static constexpr int LineHeight = 11;
    static constexpr int AverageWidth = 5;
    static constexpr int DigitWidth = 6;
};

// The first of `faces` that is installed and keeps to the limits at some pixel size, the
// largest such size; failing all of them, the desktop's sans serif at the largest size that
// keeps to them (or its smallest tried).
QFont choosePictureFont(const QStringList& faces);

// The font the picture writes in, chosen once: a condensed face where there is one.
QFont pictureFont(bool bold);

}  // namespace tracebay::platform
