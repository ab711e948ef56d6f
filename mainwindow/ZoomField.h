#pragma once

#include <QObject>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;

namespace tracebay::mainwindow {

class WaveView;

// The zoom field and the best fit box: the factor the view draws at, chosen from the list,
// typed digit by digit, stepped with Ctrl and the wheel, or found by best fit and shown there.
class ZoomField : public QObject {
    Q_OBJECT
public:
    using Message = std::function<void(const std::string& text)>;

    ZoomField(QComboBox& zoomCombo, QCheckBox& bestFitChk, WaveView& view, Message message);

    // Fills the list of factors and chooses the one the program starts with.
    void fill();
    // Puts the view's best fit flag into the box, the field usable only without it.
    void showBestFitFlag();

private slots:
    void BestFitChk_Click();
    void ZoomCombo_Change();
    void showBestFit(double scale);
    void stepZoom(int direction);

private:
    QComboBox& ZoomCombo;
    QCheckBox& BestFitChk;
    WaveView& view_;
    Message message_;
};

}  // namespace tracebay::mainwindow
