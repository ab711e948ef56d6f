#pragma once

#include <QAbstractButton>

#include "panel/PanelLayout.h"

namespace tracebay::panel {

// A small flat key of the panel, painted by hand so that it stays crisp at the instrument's
// tiny sizes: a caption, a grey triangle for a knob turn, or a grey square for a knob push.
class KeyButton : public QAbstractButton {
    Q_OBJECT

public:
    KeyButton(KeyFace face, QWidget* parent = nullptr);

    KeyFace face() const { return face_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBody(QPainter& painter) const;
    void paintCaption(QPainter& painter) const;
    void paintGlyph(QPainter& painter) const;

    KeyFace face_;
};

}  // namespace tracebay::panel
