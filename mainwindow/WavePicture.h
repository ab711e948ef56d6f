#pragma once

#include <QWidget>

#include <memory>

#include "platform/PictureSurface.h"

namespace tracebay::mainwindow {

// The screen picture inside the viewport: shows what was last drawn on its surface. Moving it
// (scrolling) shows the same picture elsewhere; nothing is drawn again.
class WavePicture : public QWidget {
    Q_OBJECT
public:
    explicit WavePicture(QWidget* parent);

    // The surface to draw on, at the widget's size; a new blank one when the size changed.
    platform::PictureSurface& surface();
    const platform::PictureSurface* drawn() const { return surface_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<platform::PictureSurface> surface_;
};

}  // namespace tracebay::mainwindow
