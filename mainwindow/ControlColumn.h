#pragma once

#include <QFont>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tracebay::mainwindow {

// The face of the main window's controls: small sans-serif, frames bold.
QFont controlFont(bool bold = false);

// The main window's left column: the refresh button and the Refresh, Display and Upload frames
// with their controls, named, captioned and placed as the window's design has them.
struct ControlColumn {
    explicit ControlColumn(QWidget& window);

    QPushButton* cmdRefresh;
    QGroupBox* Frame1;
    QGroupBox* Frame4;
    std::array<QCheckBox*, 4> ChkCH;
    std::array<QGroupBox*, 2> Frame2;
    QGroupBox* Frame6;
    QComboBox* ZoomCombo;
    QCheckBox* BestFitChk;
    QGroupBox* Frame3;
    std::array<QRadioButton*, 2> OptionColor;
    QCheckBox* GridCheck;
    std::array<QPushButton*, 4> FlatBtnUpload;

private:
    void setupRefreshColumn(QWidget& window);
    void setupDisplayFrame(QWidget& window);
    void setupUploadFrame(QWidget& window);
};

}  // namespace tracebay::mainwindow
