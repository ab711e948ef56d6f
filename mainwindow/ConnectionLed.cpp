#include "mainwindow/ConnectionLed.h"

#include <QLabel>
#include <QPainter>

#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

constexpr int LampSize = 9;
constexpr int LampMargin = 4;

}  // namespace

ConnectionLed::ConnectionLed(QWidget* parent, const QString& name, const QString& labelName,
                             const QString& caption, const QString& toolTip, bool lit)
    : QFrame(parent), label_(new QLabel(caption, this)), lit_(lit) {
    setObjectName(name);
    setToolTip(toolTip);
    setFixedSize(platform::twipsToPixels(WidthTwips), platform::twipsToPixels(HeightTwips));
    setAutoFillBackground(true);
    label_->setObjectName(labelName);
    QFont bold = font();
    bold.setPixelSize(13);
    bold.setBold(true);
    label_->setFont(bold);
    const int textLeft = LampMargin * 2 + LampSize;
    label_->setGeometry(textLeft, 0, width() - textLeft, height());
    label_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    setScheme(true);
}

void ConnectionLed::setScheme(bool colour) {
    QPalette surface = palette();
    surface.setColor(QPalette::Window, colour ? Qt::black : Qt::white);
    setPalette(surface);
    QPalette text = label_->palette();
    text.setColor(QPalette::WindowText, colour ? QColor(0, 255, 255) : Qt::black);
    label_->setPalette(text);
    update();
    label_->update();
}

// The lamp left of the label: green while connected, dark red otherwise.
void ConnectionLed::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.setBrush(lit_ ? QColor(0, 220, 0) : QColor(150, 0, 0));
    painter.drawEllipse(QRectF(LampMargin, (height() - LampSize) / 2.0, LampSize, LampSize));
}

}  // namespace tracebay::mainwindow
