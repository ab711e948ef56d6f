#pragma once

#include <QFrame>

class QLabel;

namespace tracebay::mainwindow {

// One of the two connection indicators: a small surface with a bold label, in the screen's
// colours (black with cyan text, or white with black text).
class ConnectionLed : public QFrame {
    Q_OBJECT
public:
    static constexpr int WidthTwips = 1500;
    static constexpr int HeightTwips = 255;

    ConnectionLed(QWidget* parent, const QString& name, const QString& labelName,
                  const QString& caption, const QString& toolTip, bool lit);

    void setScheme(bool colour);
    QLabel* label() const { return label_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* label_;
    bool lit_;
};

}  // namespace tracebay::mainwindow
