#include "platform/PictureSurface.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

#include "platform/PictureFont.h"

namespace tracebay::platform {
namespace {

// A text's rendering as coverage (0..255) per pixel, its top-left corner at the text's place;
// how far right it reaches and the height of its line.
struct TextMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
    int inkWidth = 0;
    int lineHeight = 0;
};

TextMask renderMask(const QString& text, bool bold, double ratio) {
    QFont font = pictureFont(bold);
    if (ratio != 1) font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * ratio)));
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 2, metrics.height() + 1,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), text);
    }
    TextMask mask{image.width(), image.height(), {}, 0, metrics.height()};
    mask.coverage.reserve(static_cast<size_t>(mask.width) * mask.height);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            mask.coverage.push_back(static_cast<uint8_t>(qAlpha(row[x])));
            if (qAlpha(row[x]) != 0) mask.inkWidth = std::max(mask.inkWidth, x + 1);
        }
    }
    return mask;
}

// Texts repeat from one repaint to the next: each is rendered once and kept.
const TextMask& textMask(const QString& text, bool bold, double ratio) {
    static std::map<std::tuple<QString, bool, double>, TextMask> cache;
    constexpr size_t CacheLimit = 1024;
    const auto key = std::make_tuple(text, bold, ratio);
    if (const auto found = cache.find(key); found != cache.end()) return found->second;
    if (cache.size() >= CacheLimit) cache.clear();
    return cache.emplace(key, renderMask(text, bold, ratio)).first->second;
}

// A painter's coordinates in the image's device pixels, whatever ratio the image carries.
void inDevicePixels(QPainter& painter, const QImage& image) {
    const double ratio = image.devicePixelRatio();
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
}

uint8_t blend(int over, int under, int coverage) {
    return static_cast<uint8_t>((over * coverage + under * (255 - coverage) + 127) / 255);
}

}  // namespace

PictureSurface::PictureSurface(int width, int height, double devicePixelRatio)
    : ratio_(devicePixelRatio > 1 ? devicePixelRatio : 1),
      image_(pixel(std::max(width, 1) * ratio_), pixel(std::max(height, 1) * ratio_),
             QImage::Format_RGB32),
      logicalWidth_(std::max(width, 1)),
      logicalHeight_(std::max(height, 1)),
      width_(image_.width()),
      height_(image_.height()),
      stride_(image_.bytesPerLine() / 4) {
    image_.setDevicePixelRatio(ratio_);
    image_.fill(0xFF000000u | backColor_);
}

void PictureSurface::copyFrom(const PictureSurface& picture) {
    bits_ = nullptr;
    if (picture.image_.size() == image_.size() && picture.image_.format() == image_.format()) {
        std::copy_n(picture.image_.constBits(), image_.sizeInBytes(), image_.bits());
        return;
    }
    QPainter painter(&image_);
    inDevicePixels(painter, image_);
    painter.drawImage(QRect(QPoint(0, 0), picture.image_.size()), picture.image_);
}

void PictureSurface::setBackColor(Rgb color) {
    bits_ = nullptr;
    backColor_ = color;
    image_.fill(0xFF000000u | color);
}

void PictureSurface::appendRecords(const PictureSurface& other) {
    if (!recording_) return;
    texts_.insert(texts_.end(), other.texts_.begin(), other.texts_.end());
    lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
    dots_.insert(dots_.end(), other.dots_.begin(), other.dots_.end());
    boxes_.insert(boxes_.end(), other.boxes_.begin(), other.boxes_.end());
    order_.insert(order_.end(), other.order_.begin(), other.order_.end());
}

void PictureSurface::clearRecords() {
    texts_.clear();
    lines_.clear();
    dots_.clear();
    boxes_.clear();
    order_.clear();
}

void PictureSurface::line(double x1, double y1, double x2, double y2) {
    currentX_ = x1;
    currentY_ = y1;
    lineTo(x2, y2);
}

void PictureSurface::lineTo(double x, double y) {
    const int x1 = pixel(currentX_);
    const int y1 = pixel(currentY_);
    const int x2 = pixel(x);
    const int y2 = pixel(y);
    currentX_ = x;
    currentY_ = y;
    if (recording_) {
        lines_.push_back({x1, y1, x2, y2, foreColor_, drawWidth_, dotted_});
        order_.push_back(Kind::Line);
    }
    if (scaled())
        scaledLine(x1, y1, x2, y2);
    else if (drawWidth_ == 1)
        thinLine(x1, y1, x2, y2);
    else
        wideLine(x1, y1, x2, y2, drawWidth_);
}

// A thin line runs through the middle of its logical pixels, a wide one is centred on its
// coordinates; both as wide as their logical width at the ratio.
void PictureSurface::scaledLine(int x1, int y1, int x2, int y2) {
    const double centre = drawWidth_ == 1 ? 0.5 : 0;
    const int width = std::max(1, pixel(drawWidth_ * ratio_));
    const int dx1 = device(x1 + centre), dy1 = device(y1 + centre);
    const int dx2 = device(x2 + centre), dy2 = device(y2 + centre);
    if (!dotted_) {
        // A thin line along an axis leaves out its last point, as at the logical size.
        if (drawWidth_ == 1 && (x1 == x2) != (y1 == y2)) {
            const auto span = [](int from, int to) {
                return from < to ? std::make_pair(from, to) : std::make_pair(to + 1, from + 1);
            };
            const auto [left, right] = x1 == x2 ? std::make_pair(x1, x1 + 1) : span(x1, x2);
            const auto [top, bottom] = y1 == y2 ? std::make_pair(y1, y1 + 1) : span(y1, y2);
            fillLogical(left, top, right, bottom);
            return;
        }
        wideLine(dx1, dy1, dx2, dy2, width);
        return;
    }
    QPen pen = foregroundPen(width);
    pen.setDashPattern({1, 1});
    pen.setCapStyle(Qt::FlatCap);
    paintLine(pen, dx1, dy1, dx2, dy2);
}

QPen PictureSurface::foregroundPen(int width) const {
    QPen pen(QColor::fromRgb(0xFF000000u | foreColor_));
    pen.setWidth(width);
    return pen;
}

void PictureSurface::paintLine(const QPen& pen, int x1, int y1, int x2, int y2) {
    bits_ = nullptr;
    QPainter painter(&image_);
    inDevicePixels(painter, image_);
    painter.setPen(pen);
    painter.drawLine(x1, y1, x2, y2);
}

void PictureSurface::fillLogical(int x1, int y1, int x2, int y2, int opacity) {
    const int left = std::max(device(x1), 0), right = std::min(device(x2), width_);
    const int top = std::max(device(y1), 0), bottom = std::min(device(y2), height_);
    if (left >= right || top >= bottom) return;
    const Pixels out = pixels();
    for (int y = top; y < bottom; ++y) {
        QRgb* row = out.bits + y * out.stride;
        if (opacity >= 255) {
            std::fill(row + left, row + right, out.color);
            continue;
        }
        for (QRgb* pixel = row + left; pixel != row + right; ++pixel)
            *pixel = qRgb(blend(qRed(out.color), qRed(*pixel), opacity),
                          blend(qGreen(out.color), qGreen(*pixel), opacity),
                          blend(qBlue(out.color), qBlue(*pixel), opacity));
    }
}

// The part of the segment inside [left, right] x [top, bottom] (Liang-Barsky); false when none.
bool clip(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
          double bottom) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0;
    double t1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double sx = x1;
    const double sy = y1;
    x1 = sx + t0 * dx;
    y1 = sy + t0 * dy;
    x2 = sx + t1 * dx;
    y2 = sy + t1 * dy;
    return true;
}

// Bresenham from the first point up to, but not including, the last; only the part of the
// line near the picture is walked.
void PictureSurface::thinLine(int ax, int ay, int bx, int by) {
    const auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < width_ && y < height_; };
    int x1 = ax, y1 = ay, x2 = bx, y2 = by;
    bool endInside = true;
    if (!(inside(ax, ay) && inside(bx, by))) {
        double cx1 = ax, cy1 = ay, cx2 = bx, cy2 = by;
        if (!clip(cx1, cy1, cx2, cy2, -1, -1, width_, height_)) return;
        endInside = cx2 == bx && cy2 == by;
        x1 = pixel(cx1);
        y1 = pixel(cy1);
        x2 = pixel(cx2);
        y2 = pixel(cy2);
    }
    if (!dotted_ && (x1 == x2 || y1 == y2)) {
        straightLine(x1, y1, x2, y2, !endInside);
        return;
    }
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    bool on = true;
    const Pixels out = pixels();
    while (x1 != x2 || y1 != y2) {
        if (on) out.plot(x1, y1);
        if (dotted_) on = !on;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y1 += sy;
        }
    }
    if (!endInside && on) out.plot(x1, y1);  // the line goes on beyond the picture
}

// A horizontal or vertical line: a run of pixels, the last one only when asked for.
void PictureSurface::straightLine(int x1, int y1, int x2, int y2, bool withLast) {
    const Pixels out = pixels();
    if (y1 == y2) {
        if (y1 < 0 || y1 >= height_) return;
        const int step = x1 < x2 ? 1 : -1;
        const int end = withLast ? x2 + step : x2;
        for (int x = x1; x != end; x += step)
            if (x >= 0 && x < width_) out.bits[y1 * out.stride + x] = out.color;
        return;
    }
    if (x1 < 0 || x1 >= width_) return;
    const int step = y1 < y2 ? 1 : -1;
    const int end = withLast ? y2 + step : y2;
    for (int y = y1; y != end; y += step)
        if (y >= 0 && y < height_) out.bits[y * out.stride + x1] = out.color;
}

// A wide line covers drawWidth rows (or columns) centred on it, the extra one above (or left),
// and reaches half its width beyond each end. Lines along the axes are filled directly, cut to
// the picture: a line wholly outside it fills nothing.
void PictureSurface::wideLine(int x1, int y1, int x2, int y2, int width) {
    const int half = width / 2;
    if (y1 == y2 || x1 == x2) {
        const int left = std::max(std::min(x1, x2) - half, 0);
        const int right = std::min(std::max(x1, x2) + width - half, width_);
        const int top = std::max(std::min(y1, y2) - half, 0);
        const int bottom = std::min(std::max(y1, y2) + width - half, height_);
        if (left >= right || top >= bottom) return;
        const Pixels out = pixels();
        for (int y = top; y < bottom; ++y)
            std::fill(out.bits + y * out.stride + left, out.bits + y * out.stride + right,
                      out.color);
        return;
    }
    QPen pen = foregroundPen(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    paintLine(pen, x1, y1, x2, y2);
}

// A point of the line width: one pixel, or a round dot as wide as the line.
void PictureSurface::dot(int px, int py) {
    if (recording_) {
        dots_.push_back({px, py, foreColor_, drawWidth_});
        order_.push_back(Kind::Dot);
    }
    const int r = drawWidth_ / 2;
    if (scaled()) {
        fillLogical(px - r, py - r, px + drawWidth_ - r, py + drawWidth_ - r);
        return;
    }
    const Pixels out = pixels();
    if (drawWidth_ == 1) {
        out.plot(px, py);
        return;
    }
    for (int dy = -r; dy < drawWidth_ - r; ++dy)
        for (int dx = -r; dx < drawWidth_ - r; ++dx) out.plot(px + dx, py + dy);
}

void PictureSurface::recordDot(int x, int y) {
    dots_.push_back({x, y, foreColor_, 1});
    order_.push_back(Kind::Dot);
}

void PictureSurface::psetRow(const std::vector<int>& xs, int y) {
    if (recording_)
        for (int x : xs) recordDot(x, y);
    if (scaled()) {
        for (int x : xs) fillLogical(x, y, x + 1, y + 1);
        return;
    }
    if (y < 0 || y >= height_) return;
    const Pixels out = pixels();
    QRgb* row = out.bits + y * out.stride;
    for (int x : xs)
        if (x >= 0 && x < width_) row[x] = out.color;
}

void PictureSurface::psetColumn(int x, const std::vector<int>& ys) {
    if (recording_)
        for (int y : ys) recordDot(x, y);
    if (scaled()) {
        for (int y : ys) fillLogical(x, y, x + 1, y + 1);
        return;
    }
    if (x < 0 || x >= width_) return;
    const Pixels out = pixels();
    for (int y : ys)
        if (y >= 0 && y < height_) out.bits[y * out.stride + x] = out.color;
}

// Instrument texts are single-byte characters. Text is laid over the picture without a
// background, antialiased.
int PictureSurface::textWidth(std::string_view text) const {
    return textMask(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), bold_, 1)
        .inkWidth;
}

void PictureSurface::fillBox(double x, double y, double width, double height, int opacity) {
    const int px = pixel(x), py = pixel(y), w = pixel(width), h = pixel(height);
    opacity = std::clamp(opacity, 0, 255);
    if (w <= 0 || h <= 0 || opacity == 0) return;
    if (recording_) {
        boxes_.push_back({px, py, w, h, foreColor_, opacity});
        order_.push_back(Kind::Box);
    }
    fillLogical(px, py, px + w, py + h, opacity);
}

void PictureSurface::textOut(double x, double y, std::string_view text) {
    const QString characters =
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    if (recording_) {
        const TextMask& logical = textMask(characters, bold_, 1);
        texts_.push_back({pixel(x), pixel(y), std::string(text), foreColor_, bold_,
                          logical.inkWidth, logical.lineHeight});
        order_.push_back(Kind::Text);
    }
    const int px = device(pixel(x));
    const int py = device(pixel(y));
    const TextMask& mask = textMask(characters, bold_, ratio_);
    const Pixels out = pixels();
    const int red = qRed(out.color), green = qGreen(out.color), blue = qBlue(out.color);
    for (int y = 0; y < mask.height; ++y) {
        if (py + y < 0 || py + y >= height_) continue;
        for (int x = 0; x < mask.width; ++x) {
            const int a = mask.coverage[static_cast<size_t>(y) * mask.width + x];
            if (a == 0 || px + x < 0 || px + x >= width_) continue;
            QRgb& pixel = out.bits[(py + y) * out.stride + px + x];
            pixel = qRgb(blend(red, qRed(pixel), a), blend(green, qGreen(pixel), a),
                         blend(blue, qBlue(pixel), a));
        }
    }
}

}  // namespace tracebay::platform
