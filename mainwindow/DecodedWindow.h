#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "decode/Decoding.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tracebay::mainwindow {

// A window beside the main window listing what the decoders found in the upload shown: a row
// each, time (from the trigger), decoder, class and text, in time order, and what could not be
// decoded. Copy puts the table on the clipboard, Save as CSV into a file; a click on a row asks
// for its time to be marked on the picture.
class DecodedWindow : public QWidget {
    Q_OBJECT
public:
    explicit DecodedWindow(QWidget* owner);

    // Asks for the CSV file to write; nothing when the user cancelled. Writing it, and what
    // went wrong, are the caller's.
    std::function<std::optional<QString>()> chooseCsvFile;
    std::function<void(const QString& path, const std::string& csv)> saveCsv;

    // `problems`: the stacks that were not decoded, a line each.
    void showDecoded(const decode::Decoded& decoded, const std::string& problems);
    const decode::Decoded& decoded() const { return decoded_; }

signals:
    // A row was chosen: the screen columns its annotation spans.
    void timeChosen(double startColumn, double endColumn);

private slots:
    void cmdCopy_Click();
    void cmdSaveCsv_Click();
    void tblDecoded_Click(int row);

private:
    void place(QWidget* owner);

    QTableWidget* tblDecoded;
    QLabel* lblProblems;
    QPushButton* cmdCopy;
    QPushButton* cmdSaveCsv;
    decode::Decoded decoded_;
};

}  // namespace tracebay::mainwindow
