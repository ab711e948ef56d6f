#include "mainwindow/WavePicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace tracebay::mainwindow {

WavePicture::WavePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

platform::PictureSurface& WavePicture::surface() {
    const double ratio = devicePixelRatioF();
    if (!surface_ || surface_->width() != width() || surface_->height() != height() ||
        surface_->devicePixelRatio() != ratio)
        surface_ = std::make_unique<platform::PictureSurface>(width(), height(), ratio);
    surface_->clearRecords();
    surface_->setRecording(recording_);
    return *surface_;
}

void WavePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (surface_)
        painter.drawImage(QPoint(0, 0), surface_->image());
    else
        painter.fillRect(event->rect(), Qt::black);
}

}  // namespace tracebay::mainwindow
