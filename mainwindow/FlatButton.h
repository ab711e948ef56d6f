#pragma once

#include <QPushButton>

namespace tracebay::mainwindow {

// A flat push button with a small picture at its left edge: the caption is written from the left
// too, its leading blanks keeping it clear of the picture. A frame shows while the pointer is over
// it, sunken while it is pressed.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    FlatButton(const QIcon& icon, const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tracebay::mainwindow
