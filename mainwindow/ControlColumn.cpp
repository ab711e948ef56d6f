#include "mainwindow/ControlColumn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "mainwindow/FlatButton.h"
#include "mainwindow/Icons.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow {

using platform::toPixels;

// The small sans-serif face of the window's controls; frames bold.
QFont controlFont(bool bold) {
    QFont font;
    font.setFamilies({"Liberation Sans", "Arimo", "DejaVu Sans Condensed", "DejaVu Sans"});
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

namespace {

template <typename Control>
Control* placed(Control* control, const char* name, QRect twipsPlace, bool bold = false) {
    control->setObjectName(name);
    control->setGeometry(twipsPlace);
    control->setFont(controlFont(bold));
    return control;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, QRect place,
                 bool bold) {
    return placed(new QGroupBox(caption, parent), name, place, bold);
}

QPushButton* flatButton(QWidget* parent, const char* name, const QString& caption,
                        const QIcon& icon, QRect place) {
    return placed(new FlatButton(icon, caption, parent), name, place);
}

}  // namespace

ControlColumn::ControlColumn(QWidget& window) {
    setupRefreshColumn(window);
    setupDisplayFrame(window);
    setupUploadFrame(window);
}

void ControlColumn::setupRefreshColumn(QWidget& window) {
    cmdRefresh = flatButton(&window, "cmdRefresh", "     Refresh", Icons::refresh(),
                            toPixels({0, 0, 1185, 390}));
    cmdRefresh->setToolTip("Refresh Data(F5)");
    Frame1 = frame(&window, "Frame1", "Refresh", toPixels({0, 480, 1185, 1455}), true);
    Frame4 = frame(Frame1, "Frame4", "", toPixels({60, 200, 1065, 1185}), false);
    const std::array<const char*, 4> names{"ChkCH_0", "ChkCH_1", "ChkCH_2", "ChkCH_3"};
    const std::array<const char*, 4> captions{"CH1", "CH2", "Math", "LA"};
    for (int i = 0; i < 4; ++i)
        ChkCH[i] = placed(new QCheckBox(captions[i], Frame4), names[i],
                          toPixels({60, 180 + 240 * i, 945, 255}));
}

void ControlColumn::setupDisplayFrame(QWidget& window) {
    Frame2[0] = frame(&window, "Frame2_0", "Display", toPixels({0, 1950, 1185, 2355}), true);
    Frame6 = frame(Frame2[0], "Frame6", "Zoom", toPixels({60, 210, 1065, 1005}), false);
    ZoomCombo = placed(new QComboBox(Frame6), "ZoomCombo", toPixels({60, 210, 945, 315}));
    ZoomCombo->setEditable(true);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setCompleter(nullptr);
    BestFitChk =
        placed(new QCheckBox("Best Fit", Frame6), "BestFitChk", toPixels({60, 540, 825, 345}));
    BestFitChk->setChecked(true);
    Frame3 = frame(Frame2[0], "Frame3", "", toPixels({60, 1200, 1065, 765}), false);
    OptionColor[0] =
        placed(new QRadioButton("Color", Frame3), "OptionColor_0", toPixels({60, 180, 900, 255}));
    OptionColor[1] =
        placed(new QRadioButton("B&&W", Frame3), "OptionColor_1", toPixels({60, 450, 900, 255}));
    OptionColor[0]->setChecked(true);
    GridCheck =
        placed(new QCheckBox("  Grid", Frame2[0]), "GridCheck", toPixels({120, 1950, 825, 375}));
    GridCheck->setChecked(true);
}

void ControlColumn::setupUploadFrame(QWidget& window) {
    Frame2[1] = frame(&window, "Frame2_1", "Upload", toPixels({0, 4350, 1185, 1635}), true);
    // The menu bar's background.
    Frame2[1]->setAutoFillBackground(true);
    Frame2[1]->setBackgroundRole(QPalette::Button);
    const std::array<const char*, 4> names{"FlatBtnUpload_0", "FlatBtnUpload_1", "FlatBtnUpload_2",
                                           "FlatBtnUpload_3"};
    const std::array<QString, 4> captions{"     Connect", "    DisConnect", "    Options",
                                          "     Panel"};
    const std::array<QIcon, 4> icons{Icons::connect(), Icons::disconnect(), Icons::options(),
                                     Icons::panel()};
    const std::array<int, 4> tops{210, 555, 915, 1260};
    for (int i = 0; i < 4; ++i)
        FlatBtnUpload[i] = flatButton(Frame2[1], names[i], captions[i], icons[i],
                                      toPixels({30, tops[i], 1125, 330}));
}

}  // namespace tracebay::mainwindow
