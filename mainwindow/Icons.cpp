#include "mainwindow/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace tracebay::mainwindow::Icons {
namespace {

constexpr int Size = 16;

// Drawn at twice the size too, so that the pictures stay sharp on high-density screens.
QIcon drawn(const std::function<void(QPainter&)>& draw, int size = Size) {
    QIcon icon;
    for (const int factor : {1, 2}) {
        QPixmap pixmap(size * factor, size * factor);
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

}  // namespace

QIcon refresh() {
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

QIcon stop() {
    return drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
    });
}

QIcon connect() {
    return drawn([](QPainter& p) { plugBody(p, Green); });
}

QIcon disconnect() {
    return drawn([](QPainter& p) {
        plugBody(p, QColor(120, 120, 120));
        p.setPen(QPen(Red, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 2), QPointF(14, 14));
    });
}

QIcon options() {
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

QIcon panel() {
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

QIcon program() {
    return drawn(
        [](QPainter& p) {
            p.setPen(QPen(QColor(70, 70, 70), 1.5));
            p.setBrush(QColor(210, 210, 210));
            p.drawRoundedRect(QRectF(1, 3, 30, 26), 3, 3);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawRect(QRectF(4, 6, 24, 18));
            p.setPen(QPen(QColor(90, 90, 90), 0.6));
            p.drawLine(QPointF(16, 6), QPointF(16, 24));
            p.drawLine(QPointF(4, 15), QPointF(28, 15));
            QPainterPath trace;
            for (int x = 0; x <= 24; ++x) {
                const double y = 15 - 6 * std::sin(x / 24.0 * 2 * 3.14159265358979);
                if (x == 0)
                    trace.moveTo(4 + x, y);
                else
                    trace.lineTo(4 + x, y);
            }
            p.setPen(QPen(QColor(255, 255, 0), 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawPath(trace);
            p.setPen(QPen(QColor(255, 128, 0), 1.4));
            p.drawLine(QPointF(7, 27), QPointF(11, 27));
        },
        32);
}

}  // namespace tracebay::mainwindow::Icons
