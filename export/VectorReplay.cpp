#include "export/VectorReplay.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "platform/PictureFont.h"

namespace tracebay::exporting {
namespace {

using platform::PictureSurface;

QColor color(platform::Rgb rgb) { return QColor::fromRgb(0xFF000000u | rgb); }

// The surface places a line of odd width on the middle of its pixels and one of even width on
// the boundary between the two middle rows (or columns).
QPointF centre(int x, int y, int width) {
    const double middle = width % 2 ? 0.5 : 0;
    return {x + middle, y + middle};
}

QPen linePen(const PictureSurface::Line& line) {
    QPen pen(color(line.color));
    pen.setWidth(line.width);
    const bool alongAnAxis = line.x1 == line.x2 || line.y1 == line.y2;
    if (line.width == 1)
        pen.setCapStyle(Qt::FlatCap);
    else
        pen.setCapStyle(alongAnAxis ? Qt::SquareCap : Qt::RoundCap);
    if (line.dotted) pen.setDashPattern({1, 1});
    return pen;
}

// A dotted line begins with its first pixel whole: half a pixel before that pixel's middle,
// along the axis the line advances on.
QLineF dottedStart(QLineF line) {
    const QPointF d = line.p2() - line.p1();
    const double step = std::max(std::abs(d.x()), std::abs(d.y()));
    if (step > 0) line.setP1(line.p1() - d / step * 0.5);
    return line;
}

void drawLine(QPainter& painter, const PictureSurface::Line& line) {
    // A thin line leaves out its last point: from a point to itself it draws nothing.
    if (line.width == 1 && line.x1 == line.x2 && line.y1 == line.y2) return;
    QLineF shape(centre(line.x1, line.y1, line.width), centre(line.x2, line.y2, line.width));
    if (line.dotted) shape = dottedStart(shape);
    painter.setPen(linePen(line));
    painter.drawLine(shape);
}

// A dot covers its line width in pixels, the extra one above and to the left.
QRectF dotSquare(const PictureSurface::Dot& dot) {
    const int half = dot.width / 2;
    return QRectF(dot.x - half, dot.y - half, dot.width, dot.width);
}

void drawText(QPainter& painter, const PictureSurface::Text& text) {
    const QFont font = platform::pictureFont(text.bold);
    painter.setFont(font);
    painter.setPen(color(text.color));
    painter.drawText(
        QPointF(text.x, text.y + QFontMetrics(font).ascent()),
        QString::fromLatin1(text.text.data(), static_cast<qsizetype>(text.text.size())));
}

// Runs of dots in one colour (a grid row, a tick band) become one shape.
class DotRun {
public:
    explicit DotRun(QPainter& painter) : painter_(painter) {
        // A pixel set twice is still set.
        path_.setFillRule(Qt::WindingFill);
    }
    ~DotRun() { flush(); }
    void add(const PictureSurface::Dot& dot) {
        if (!path_.isEmpty() && dot.color != color_) flush();
        color_ = dot.color;
        path_.addRect(dotSquare(dot));
    }
    void flush() {
        if (path_.isEmpty()) return;
        painter_.fillPath(path_, color(color_));
        path_.clear();
        path_.setFillRule(Qt::WindingFill);
    }

private:
    QPainter& painter_;
    QPainterPath path_;
    platform::Rgb color_ = 0;
};

}  // namespace

void replay(const PictureSurface& picture, QPainter& painter) {
    const QRectF area(0, 0, picture.width(), picture.height());
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, color(picture.backColor()));
    DotRun dots(painter);
    size_t line = 0, dot = 0, text = 0, box = 0;
    for (const PictureSurface::Kind kind : picture.order()) {
        if (kind == PictureSurface::Kind::Dot) {
            dots.add(picture.dots()[dot++]);
            continue;
        }
        dots.flush();
        switch (kind) {
            case PictureSurface::Kind::Line: drawLine(painter, picture.lines()[line++]); break;
            case PictureSurface::Kind::Text: drawText(painter, picture.texts()[text++]); break;
            case PictureSurface::Kind::Box: {
                const PictureSurface::Box& b = picture.boxes()[box++];
                QColor fill = color(b.color);
                fill.setAlpha(b.opacity);
                painter.fillRect(QRect(b.x, b.y, b.width, b.height), fill);
                break;
            }
            case PictureSurface::Kind::Dot: break;
        }
    }
    dots.flush();
    painter.restore();
}

}  // namespace tracebay::exporting
