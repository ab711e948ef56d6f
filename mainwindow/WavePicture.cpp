#include "mainwindow/WavePicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace tracebay::mainwindow {

WavePicture::WavePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

platform::PictureSurface& WavePicture::surface() {
    if (!surface_ || surface_->width() != width() || surface_->height() != height())
        surface_ = std::make_unique<platform::PictureSurface>(width(), height());
    return *surface_;
}

void WavePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (surface_)
        painter.drawImage(event->rect(), surface_->image(), event->rect());
    else
        painter.fillRect(event->rect(), Qt::black);
}

}  // namespace tracebay::mainwindow
