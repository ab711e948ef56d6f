#include "panel/KeyButton.h"

#include <QPainter>

#include <cmath>

namespace tracebay::panel {
namespace {

const QColor GlyphGrey(128, 128, 128);
const QColor CaptionInk(32, 32, 32);
const QColor Rim(138, 138, 138);
const QColor PressedRim(96, 96, 96);
constexpr qreal CornerRadius = 2;
constexpr int CaptionPadding = 2;
constexpr int SmallestCaptionPixels = 7;
// The triangle's box: 11 x 10 pixels pointing up or down, 10 x 11 pointing left or right.
constexpr qreal TriangleBase = 11;
constexpr qreal TriangleHeight = 10;
constexpr qreal PushSquare = 7;

QPolygonF triangle(KeyFace face, QPointF centre) {
    const bool vertical = face == KeyFace::Up || face == KeyFace::Down;
    const QSizeF size =
        vertical ? QSizeF(TriangleBase, TriangleHeight) : QSizeF(TriangleHeight, TriangleBase);
    // On whole pixels, so that the flat edges stay sharp.
    const QPointF corner = centre - QPointF(size.width() / 2, size.height() / 2);
    const QRectF box(QPointF(std::round(corner.x()), std::round(corner.y())), size);
    switch (face) {
        case KeyFace::Up:
            return {{QPointF(box.center().x(), box.top()), box.bottomRight(), box.bottomLeft()}};
        case KeyFace::Down:
            return {{box.topLeft(), box.topRight(), QPointF(box.center().x(), box.bottom())}};
        case KeyFace::Left:
            return {{QPointF(box.left(), box.center().y()), box.topRight(), box.bottomRight()}};
        case KeyFace::Right:
            return {{box.topLeft(), QPointF(box.right(), box.center().y()), box.bottomLeft()}};
        default: return {};
    }
}

}  // namespace

KeyButton::KeyButton(KeyFace face, QWidget* parent) : QAbstractButton(parent), face_(face) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

QSize KeyButton::sizeHint() const { return {31, 21}; }

void KeyButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBody(painter);
    if (face_ == KeyFace::Caption)
        paintCaption(painter);
    else
        paintGlyph(painter);
}

void KeyButton::paintBody(QPainter& painter) const {
    const bool pressed = isDown();
    const bool hovered = underMouse() && isEnabled();
    const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    if (pressed) {
        shade.setColorAt(0, QColor(196, 196, 196));
        shade.setColorAt(1, QColor(224, 224, 224));
    } else {
        shade.setColorAt(0, hovered ? QColor(255, 255, 255) : QColor(250, 250, 250));
        shade.setColorAt(1, hovered ? QColor(232, 232, 232) : QColor(216, 216, 216));
    }
    const QColor rim =
        hasFocus() ? palette().color(QPalette::Highlight) : (pressed ? PressedRim : Rim);
    painter.setPen(QPen(rim, 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, CornerRadius, CornerRadius);
}

// A caption that does not fit at the window's font size is drawn a little smaller rather than
// cut off: the fall-back face is wider than the one the panel was drawn for.
void KeyButton::paintCaption(QPainter& painter) const {
    if (text().isEmpty()) return;
    QFont captionFont = font();
    const int room = width() - 2 * CaptionPadding;
    while (captionFont.pixelSize() > SmallestCaptionPixels &&
           QFontMetrics(captionFont).horizontalAdvance(text()) > room)
        captionFont.setPixelSize(captionFont.pixelSize() - 1);
    painter.setFont(captionFont);
    painter.setPen(isEnabled() ? CaptionInk : palette().color(QPalette::Disabled, QPalette::Text));
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint();
    painter.drawText(rect().translated(shift), Qt::AlignCenter, text());
}

void KeyButton::paintGlyph(QPainter& painter) const {
    const QPointF centre = QRectF(rect()).center() + (isDown() ? QPointF(1, 1) : QPointF());
    painter.setPen(Qt::NoPen);
    painter.setBrush(GlyphGrey);
    if (face_ == KeyFace::Push) {
        const QPointF half(PushSquare / 2, PushSquare / 2);
        painter.drawRect(QRectF(centre - half, centre + half));
    } else {
        painter.drawPolygon(triangle(face_, centre));
    }
}

}  // namespace tracebay::panel
