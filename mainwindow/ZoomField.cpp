#include "mainwindow/ZoomField.h"

#include <QCheckBox>
#include <QComboBox>

#include "mainwindow/WaveView.h"
#include "mainwindow/ZoomText.h"

namespace tracebay::mainwindow {
namespace {

const QStringList ZoomFactors{"50%",  "75%",  "100%", "125%", "150%",
                              "200%", "250%", "300%", "400%", "500%"};
constexpr int InitialZoomIndex = 4;

}  // namespace

ZoomField::ZoomField(QComboBox& zoomCombo, QCheckBox& bestFitChk, WaveView& view, Message message)
    : QObject(&view),
      ZoomCombo(zoomCombo),
      BestFitChk(bestFitChk),
      view_(view),
      message_(std::move(message)) {
    connect(&BestFitChk, &QCheckBox::toggled, this, &ZoomField::BestFitChk_Click);
    connect(&ZoomCombo, &QComboBox::editTextChanged, this, &ZoomField::ZoomCombo_Change);
    connect(&ZoomCombo, &QComboBox::textActivated, this, &ZoomField::ZoomCombo_Change);
    connect(&view_, &WaveView::bestFitFound, this, &ZoomField::showBestFit);
    connect(&view_, &WaveView::zoomStepAsked, this, &ZoomField::stepZoom);
}

void ZoomField::fill() {
    ZoomCombo.clear();
    ZoomCombo.addItems(ZoomFactors);
    ZoomCombo.setCurrentIndex(InitialZoomIndex);
}

void ZoomField::showBestFitFlag() {
    BestFitChk.setChecked(view_.bestFit());
    ZoomCombo.setEnabled(!view_.bestFit());
}

void ZoomField::BestFitChk_Click() {
    ZoomCombo.setEnabled(!BestFitChk.isChecked());
    view_.setBestFit(BestFitChk.isChecked());
}

// The zoom field's handler runs when the text changes, and lays out once more.
void ZoomField::showBestFit(double scale) {
    ZoomCombo.setEnabled(false);
    ZoomCombo.setEditText(zoomText(scale));
}

// The next factor of the zoom list above (or below) the scale shown; best fit ends.
void ZoomField::stepZoom(int direction) {
    QStringList factors;
    for (int i = 0; i < ZoomCombo.count(); ++i) factors << ZoomCombo.itemText(i);
    const auto next = zoomStep(factors, view_.ScreenScale(), direction);
    if (!next) return;
    BestFitChk.setChecked(false);
    ZoomCombo.setEditText(factors[*next]);
}

void ZoomField::ZoomCombo_Change() {
    if (const auto scale = zoomScale(ZoomCombo.currentText()))
        view_.setScreenScale(*scale);
    else
        message_("Invalid Zoom Factor");
    // Writing the same text again would put the text cursor behind the "%".
    if (const QString shown = zoomText(view_.ScreenScale()); ZoomCombo.currentText() != shown)
        ZoomCombo.setEditText(shown);
    view_.Form_Resize();
}

}  // namespace tracebay::mainwindow
