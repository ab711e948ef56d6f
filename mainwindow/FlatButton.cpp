#include "mainwindow/FlatButton.h"

#include <QPainter>

#include <algorithm>

namespace tracebay::mainwindow {
namespace {

constexpr int PictureLeft = 2;
constexpr int PictureSize = 14;
constexpr int TextLeft = 2;
constexpr int TextGap = 3;

}  // namespace

FlatButton::FlatButton(const QIcon& icon, const QString& caption, QWidget* parent)
    : QPushButton(icon, caption, parent) {
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    const bool pressed = isDown();
    if (isEnabled() && (pressed || underMouse())) {
        const QPalette& colours = palette();
        painter.setPen(pressed ? colours.color(QPalette::Dark) : colours.color(QPalette::Light));
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(pressed ? colours.color(QPalette::Light) : colours.color(QPalette::Dark));
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }
    const int shift = pressed ? 1 : 0;
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QRect picture(PictureLeft + shift, (height() - PictureSize) / 2 + shift, PictureSize,
                        PictureSize);
    icon().paint(&painter, picture, Qt::AlignCenter, mode);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // The blanks in front of the caption make room for the picture; where they are narrower
    // than the picture, the caption starts right of it.
    const QString caption = text();
    const qsizetype blanks = caption.size() - caption.trimmed().size();
    const int left = std::max(TextLeft + fontMetrics().horizontalAdvance(caption.left(blanks)),
                              picture.right() + TextGap);
    painter.drawText(area.adjusted(left + shift, shift, 0, shift), Qt::AlignLeft | Qt::AlignVCenter,
                     caption.trimmed());
}

}  // namespace tracebay::mainwindow
