#include "mainwindow/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

#include <functional>

namespace tracebay::mainwindow::Icons {
namespace {

constexpr int Size = 16;

// Drawn at twice the size too, so that the pictures stay sharp on high-density screens.
QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int factor : {1, 2}) {
        QPixmap pixmap(Size * factor, Size * factor);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(factor, factor);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor Ink(40, 60, 90);
const QColor Green(30, 150, 60);
const QColor Red(190, 40, 40);

void plugBody(QPainter& p, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(5, 6, 6, 6), 1.5, 1.5);
    p.drawRect(QRectF(6.5, 3, 1, 3));
    p.drawRect(QRectF(8.5, 3, 1, 3));
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 12), QPointF(8, 15));
}

QIcon drawRefresh() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(9.5, 1.5);
        head.lineTo(14, 3.5);
        head.lineTo(10, 7);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawPath(head);
    });
}

QIcon drawStop() {
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
    });
}

QIcon drawConnect() {
    return drawn([](QPainter& p) { plugBody(p, Green); });
}

QIcon drawDisconnect() {
    return drawn([](QPainter& p) {
        plugBody(p, QColor(120, 120, 120));
        p.setPen(QPen(Red, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 2), QPointF(14, 14));
    });
}

QIcon drawOptions() {
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        const QPointF centre(8, 8);
        for (int tooth = 0; tooth < 8; ++tooth) {
            p.save();
            p.translate(centre);
            p.rotate(tooth * 45.0);
            p.drawRect(QRectF(-1.3, -7, 2.6, 3));
            p.restore();
        }
        p.drawEllipse(centre, 4.8, 4.8);
        p.setBrush(Qt::white);
        p.drawEllipse(centre, 2, 2);
    });
}

QIcon drawPanel() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(225, 230, 238));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                p.drawRect(QRectF(3.5 + column * 3.5, 3.5 + row * 3.5, 2.2, 2.2));
    });
}

// Drawn from the same SVG file the desktop's icon theme gets, at the sizes window managers ask for.
QIcon drawProgram() {
    QSvgRenderer renderer(QStringLiteral(":/desktop/org.tracebay.TraceBay.svg"));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace

// Each picture is drawn once; the same icon is handed out after that.
QIcon refresh() {
    static const QIcon icon = drawRefresh();
    return icon;
}
QIcon stop() {
    static const QIcon icon = drawStop();
    return icon;
}
QIcon connect() {
    static const QIcon icon = drawConnect();
    return icon;
}
QIcon disconnect() {
    static const QIcon icon = drawDisconnect();
    return icon;
}
QIcon options() {
    static const QIcon icon = drawOptions();
    return icon;
}
QIcon panel() {
    static const QIcon icon = drawPanel();
    return icon;
}
QIcon program() {
    static const QIcon icon = drawProgram();
    return icon;
}

}  // namespace tracebay::mainwindow::Icons
