#pragma once

#include <QDialog>
#include <QString>

#include "export/UploadRecorder.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace tracebay::mainwindow {

// Where uploads are recorded and what is written beside each one's JSON.
struct RecordingChoice {
    QString folder;
    exporting::RecordChoice files;
};

// Asks for the folder to record uploads into (typed, or chosen with "Browse…") and for the
// files to write beside each upload: its picture and its logic lines.
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    RecordDialog(const RecordingChoice& initial, QWidget* parent);

    RecordingChoice choice() const;

private:
    void browse();

    QLineEdit* txtFolder;
    QCheckBox* chkPng;
    QCheckBox* chkVcd;
    QCheckBox* chkSigrok;
    QDialogButtonBox* buttons;
};

}  // namespace tracebay::mainwindow
