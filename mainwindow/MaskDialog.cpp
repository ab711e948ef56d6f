#include "mainwindow/MaskDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tracebay::mainwindow {
namespace {

QDoubleSpinBox* divisionsField(const char* name, double maximum, double value, QWidget* parent) {
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(name);
    field->setRange(0, maximum);
    field->setDecimals(2);
    field->setSingleStep(0.1);
    field->setSuffix(" div");
    field->setValue(value);
    return field;
}

// A text field with "Browse…" beside it.
QHBoxLayout* browseRow(QLineEdit* field, const char* buttonName, QWidget* parent,
                       const std::function<void()>& browse) {
    auto* button = new QPushButton("Browse…", parent);
    button->setObjectName(buttonName);
    QObject::connect(button, &QPushButton::clicked, parent, browse);
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

}  // namespace

MaskDialog::MaskDialog(const MaskChoice& initial, const QStringList& sources, QWidget* parent)
    : QDialog(parent),
      optFromUpload(new QRadioButton("Make from the shown upload", this)),
      optFromFile(new QRadioButton("Open a mask file", this)),
      cboSource(new QComboBox(this)),
      txtTolerance(divisionsField("txtTolerance", 8, initial.tolerance, this)),
      txtTimeTolerance(divisionsField("txtTimeTolerance", 12, initial.timeTolerance, this)),
      txtMaskFile(new QLineEdit(initial.file, this)),
      chkStopOnFail(new QCheckBox("Stop on the first failure", this)),
      chkSaveFailing(new QCheckBox("Save failing uploads to a folder", this)),
      txtFailingFolder(new QLineEdit(initial.failingFolder, this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName("MaskDialog");
    setWindowTitle("Mask test");
    auto* layout = new QVBoxLayout(this);
    addMaskFields(initial, sources);
    addFailureFields(initial);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QAbstractButton* box : {static_cast<QAbstractButton*>(optFromUpload),
                                 static_cast<QAbstractButton*>(chkSaveFailing)})
        connect(box, &QAbstractButton::toggled, this, &MaskDialog::enableFields);
    connect(txtMaskFile, &QLineEdit::textChanged, this, &MaskDialog::enableFields);
    connect(txtFailingFolder, &QLineEdit::textChanged, this, &MaskDialog::enableFields);
    enableFields();
    resize(520, sizeHint().height());
}

void MaskDialog::addMaskFields(const MaskChoice& initial, const QStringList& sources) {
    optFromUpload->setObjectName("optFromUpload");
    optFromFile->setObjectName("optFromFile");
    cboSource->setObjectName("cboSource");
    txtMaskFile->setObjectName("txtMaskFile");
    cboSource->addItems(sources);
    cboSource->setCurrentText(initial.source);
    const bool fromFile = initial.fromFile || sources.isEmpty();
    optFromFile->setChecked(fromFile);
    optFromUpload->setChecked(!fromFile);
    optFromUpload->setEnabled(!sources.isEmpty());
    auto* form = new QFormLayout;
    form->addRow(optFromUpload);
    form->addRow("Trace:", cboSource);
    form->addRow("Tolerance:", txtTolerance);
    form->addRow("Time tolerance:", txtTimeTolerance);
    form->addRow(optFromFile);
    form->addRow("Mask file:",
                 browseRow(txtMaskFile, "cmdBrowseMask", this, [this] { browseFile(); }));
    static_cast<QVBoxLayout*>(layout())->addLayout(form);
}

void MaskDialog::addFailureFields(const MaskChoice& initial) {
    chkStopOnFail->setObjectName("chkStopOnFail");
    chkSaveFailing->setObjectName("chkSaveFailing");
    txtFailingFolder->setObjectName("txtFailingFolder");
    chkStopOnFail->setChecked(initial.stopOnFail);
    chkSaveFailing->setChecked(initial.saveFailing);
    auto* form = new QFormLayout;
    form->addRow(chkStopOnFail);
    form->addRow(chkSaveFailing);
    form->addRow("Folder:",
                 browseRow(txtFailingFolder, "cmdBrowseFolder", this, [this] { browseFolder(); }));
    static_cast<QVBoxLayout*>(layout())->addLayout(form);
}

// OK needs a mask file when one is to be opened, and a folder when failing uploads are saved.
void MaskDialog::enableFields() {
    const bool fromUpload = optFromUpload->isChecked();
    cboSource->setEnabled(fromUpload);
    txtTolerance->setEnabled(fromUpload);
    txtTimeTolerance->setEnabled(fromUpload);
    txtMaskFile->setEnabled(!fromUpload);
    txtFailingFolder->setEnabled(chkSaveFailing->isChecked());
    const bool complete =
        (fromUpload || !txtMaskFile->text().trimmed().isEmpty()) &&
        (!chkSaveFailing->isChecked() || !txtFailingFolder->text().trimmed().isEmpty());
    buttons->button(QDialogButtonBox::Ok)->setEnabled(complete);
}

MaskChoice MaskDialog::choice() const {
    return {optFromFile->isChecked(),    txtMaskFile->text().trimmed(),
            cboSource->currentText(),    txtTolerance->value(),
            txtTimeTolerance->value(),   chkStopOnFail->isChecked(),
            chkSaveFailing->isChecked(), txtFailingFolder->text().trimmed()};
}

void MaskDialog::browseFile() {
    const QString file = QFileDialog::getOpenFileName(this, "Open a mask file", txtMaskFile->text(),
                                                      "TraceBay mask (*.json)");
    if (!file.isEmpty()) txtMaskFile->setText(QDir::toNativeSeparators(file));
}

void MaskDialog::browseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, "Save failing uploads to",
                                                             txtFailingFolder->text());
    if (!folder.isEmpty()) txtFailingFolder->setText(QDir::toNativeSeparators(folder));
}

}  // namespace tracebay::mainwindow
