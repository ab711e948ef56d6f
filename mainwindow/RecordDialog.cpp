#include "mainwindow/RecordDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tracebay::mainwindow {

RecordDialog::RecordDialog(const RecordingChoice& initial, QWidget* parent)
    : QDialog(parent),
      txtFolder(new QLineEdit(initial.folder, this)),
      chkPng(new QCheckBox("The picture, as PNG", this)),
      chkVcd(new QCheckBox("The logic lines, as VCD", this)),
      chkSigrok(new QCheckBox("The logic lines, as sigrok session", this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName("RecordDialog");
    setWindowTitle("Record uploads to folder");
    txtFolder->setObjectName("txtFolder");
    chkPng->setObjectName("chkPng");
    chkVcd->setObjectName("chkVcd");
    chkSigrok->setObjectName("chkSigrok");
    chkPng->setChecked(initial.files.png);
    chkVcd->setChecked(initial.files.vcd);
    chkSigrok->setChecked(initial.files.sr);
    auto* browse = new QPushButton("Browse…", this);
    browse->setObjectName("cmdBrowse");
    connect(browse, &QPushButton::clicked, this, &RecordDialog::browse);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow("Folder:", folderRow);
    form->addRow("Beside each upload's JSON:", chkPng);
    form->addRow("", chkVcd);
    form->addRow("", chkSigrok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto folderGiven = [this] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!txtFolder->text().trimmed().isEmpty());
    };
    connect(txtFolder, &QLineEdit::textChanged, this, folderGiven);
    folderGiven();
    resize(520, sizeHint().height());
}

RecordingChoice RecordDialog::choice() const {
    return {txtFolder->text().trimmed(),
            {chkPng->isChecked(), chkVcd->isChecked(), chkSigrok->isChecked()}};
}

void RecordDialog::browse() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, "Record uploads to folder", txtFolder->text());
    if (!folder.isEmpty()) txtFolder->setText(QDir::toNativeSeparators(folder));
}

}  // namespace tracebay::mainwindow
