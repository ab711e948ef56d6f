#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

namespace tracebay::mainwindow {

// What the mask test is to be: a mask made from a trace of the shown upload with tolerances in
// divisions, or one read from a file; and what a failing upload does.
struct MaskChoice {
    bool fromFile = false;
    QString file;
    QString source = "CH1";
    double tolerance = 0.5;  // divisions
    double timeTolerance = 0;
    bool stopOnFail = false;
    bool saveFailing = false;
    QString failingFolder;
};

// "Mask test…": asks for the mask (its source and tolerances, or a mask file) and for what to do
// with an upload that fails it. It returns the values; the caller makes and applies the mask.
class MaskDialog : public QDialog {
    Q_OBJECT
public:
    // `sources`: the traces of the shown upload a mask can be made from.
    MaskDialog(const MaskChoice& initial, const QStringList& sources, QWidget* parent);

    MaskChoice choice() const;

private:
    void addMaskFields(const MaskChoice& initial, const QStringList& sources);
    void addFailureFields(const MaskChoice& initial);
    void enableFields();
    void browseFile();
    void browseFolder();

    QRadioButton* optFromUpload;
    QRadioButton* optFromFile;
    QComboBox* cboSource;
    QDoubleSpinBox* txtTolerance;
    QDoubleSpinBox* txtTimeTolerance;
    QLineEdit* txtMaskFile;
    QCheckBox* chkStopOnFail;
    QCheckBox* chkSaveFailing;
    QLineEdit* txtFailingFolder;
    QDialogButtonBox* buttons;
};

}  // namespace tracebay::mainwindow
