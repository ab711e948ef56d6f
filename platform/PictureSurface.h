#pragma once

#include <QImage>
#include <QPen>

#include <cmath>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracebay::platform {

// A colour as 0x00RRGGBB.
using Rgb = uint32_t;
constexpr Rgb rgb(int r, int g, int b) {
    return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | static_cast<Rgb>(b);
}

// A picture in pixels with the drawing primitives of a window-system picture box: background
// colour (setting it clears), foreground colour, line width, lines from a point or from the
// current point, single pixels, bold text placed by its top-left corner. Coordinates are
// rounded to the nearest pixel, halves to even. A 1-pixel line leaves out its last point;
// wider lines are drawn with round ends. In recording mode every primitive is also kept, so
// that tests can check texts with their places, extents, colours and weights.
class PictureSurface {
public:
    struct Text {
        int x;
        int y;
        std::string text;
        Rgb color;
        bool bold;
        int width;   // the columns it colours, from x
        int height;  // the font's line height
    };
    struct Line {
        int x1;
        int y1;
        int x2;
        int y2;
        Rgb color;
        int width;
        bool dotted;
    };
    struct Dot {
        int x;
        int y;
        Rgb color;
        int width;
    };
    struct Box {
        int x;
        int y;
        int width;
        int height;
        Rgb color;
        int opacity = 255;  // 0 (clear) to 255 (solid)
    };
    // Which kind of primitive came next, so that a replay keeps what lies over what.
    enum class Kind : uint8_t { Text, Line, Dot, Box };

    PictureSurface(int width, int height, double devicePixelRatio = 1);

    // The logical size.
    int width() const { return logicalWidth_; }
    int height() const { return logicalHeight_; }
    double devicePixelRatio() const { return ratio_; }
    // The picture; a copy taken from it keeps what it shows now.
    const QImage& image() const {
        bits_ = nullptr;
        return image_;
    }
    // Replaces the picture (same size) with `picture`, as a block copy does.
    void copyFrom(const PictureSurface& picture);

    void setBackColor(Rgb color);
    Rgb backColor() const { return backColor_; }
    void setForeColor(Rgb color) { foreColor_ = color; }
    Rgb foreColor() const { return foreColor_; }
    void setDrawWidth(int width) { drawWidth_ = width < 1 ? 1 : width; }
    int drawWidth() const { return drawWidth_; }
    // Lines in a dotted style (every other pixel), as a dotted pen draws them.
    void setDotted(bool dotted) { dotted_ = dotted; }
    void setBold(bool bold) { bold_ = bold; }
    bool bold() const { return bold_; }

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }

    void line(double x1, double y1, double x2, double y2);
    void lineTo(double x, double y);
    void pset(double x, double y) {
        currentX_ = x;
        currentY_ = y;
        const int px = pixel(x);
        const int py = pixel(y);
        if (drawWidth_ == 1 && !recording_ && !scaled()) {
            pixels().plot(px, py);
            return;
        }
        dot(px, py);
    }
    void textOut(double x, double y, std::string_view text);
    // The columns `text` colours when written in the current weight.
    int textWidth(std::string_view text) const;
    // A rectangle in the foreground colour, `width` x `height` pixels from (x, y), laid over the
    // picture with an opacity from 0 (clear) to 255 (solid).
    void fillBox(double x, double y, double width, double height, int opacity = 255);
    // Single pixels along a row or a column, at whole-pixel places: many points at once.
    void psetRow(const std::vector<int>& xs, int y);
    void psetColumn(int x, const std::vector<int>& ys);

    void setRecording(bool recording) { recording_ = recording; }
    bool recording() const { return recording_; }
    // Adds what `other` recorded, as drawn on this picture (after a block copy from it).
    void appendRecords(const PictureSurface& other);
    const std::vector<Text>& texts() const { return texts_; }
    const std::vector<Line>& lines() const { return lines_; }
    const std::vector<Dot>& dots() const { return dots_; }
    const std::vector<Box>& boxes() const { return boxes_; }
    // Every recorded primitive's kind in drawing order; the n-th Line is lines()[n], and so on.
    const std::vector<Kind>& order() const { return order_; }
    void clearRecords();

    // Rounding to pixels, halves to even.
    static int pixel(double value) {
        // Far outside any picture (or not a number): far outside, without overflowing.
        if (!(value > -1e8)) return -100000000;
        if (value > 1e8) return 100000000;
        // Adding and taking away 1.5 * 2^52 leaves the value rounded to an integer, halves to
        // even (the default rounding), without a library call.
        constexpr double Shift = 6755399441055744.0;
        const double shifted = value + Shift;
        return static_cast<int>(shifted - Shift);
    }

private:
    void dot(int px, int py);
    void recordDot(int x, int y);
    void thinLine(int x1, int y1, int x2, int y2);
    void straightLine(int x1, int y1, int x2, int y2, bool withLast);
    void wideLine(int x1, int y1, int x2, int y2, int width);
    // At a device pixel ratio above 1: a line in logical pixels drawn at the ratio.
    void scaledLine(int x1, int y1, int x2, int y2);
    // The device pixels of logical pixels [x1, x2) x [y1, y2).
    void fillLogical(int x1, int y1, int x2, int y2, int opacity = 255);
    // Lines in device pixels that Qt draws.
    QPen foregroundPen(int width) const;
    void paintLine(const QPen& pen, int x1, int y1, int x2, int y2);
    int device(double logical) const { return pixel(logical * ratio_); }
    bool scaled() const { return ratio_ != 1; }
    // Direct access to the pixels for one primitive (the image is detached once).
    struct Pixels {
        QRgb* bits;
        qsizetype stride;  // in pixels
        int width;
        int height;
        QRgb color;
        void plot(int x, int y) const {
            if (x >= 0 && y >= 0 && x < width && y < height) bits[y * stride + x] = color;
        }
    };
    Pixels pixels() {
        if (!bits_) bits_ = reinterpret_cast<QRgb*>(image_.bits());
        return {bits_, stride_, width_, height_, 0xFF000000u | foreColor_};
    }

    double ratio_;
    QImage image_;
    int logicalWidth_;
    int logicalHeight_;
    // The image's size in device pixels.
    int width_;
    int height_;
    qsizetype stride_;
    // The pixels while nobody else holds the image; forgotten whenever Qt may touch it.
    mutable QRgb* bits_ = nullptr;
    Rgb backColor_ = rgb(255, 255, 255);
    Rgb foreColor_ = rgb(0, 0, 0);
    int drawWidth_ = 1;
    bool dotted_ = false;
    bool bold_ = false;
    double currentX_ = 0;
    double currentY_ = 0;
    bool recording_ = false;
    std::vector<Text> texts_;
    std::vector<Line> lines_;
    std::vector<Dot> dots_;
    std::vector<Box> boxes_;
    std::vector<Kind> order_;
};

}  // namespace tracebay::platform
