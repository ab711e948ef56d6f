#include "mainwindow/SharingDialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPrintDialog>

namespace tracebay::mainwindow {
namespace {

const QStringList ExportZooms{"100%", "200%", "300%", "400%", "500%", "1000%"};

// The dialog's own layout gets a row for the zoom, under the file type.
QComboBox* addZoomEntry(QFileDialog& dialog, const QString& zoom) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return nullptr;
    auto* entry = new QComboBox(&dialog);
    entry->setObjectName("ExportZoom");
    entry->setEditable(true);
    entry->addItems(ExportZooms);
    entry->setEditText(zoom);
    entry->setToolTip("The picture is drawn at this zoom, as the Zoom field would draw it");
    const int row = grid->rowCount();
    grid->addWidget(new QLabel("Zoom:", &dialog), row, 0);
    grid->addWidget(entry, row, 1);
    return entry;
}

// A name typed without a suffix gets the chosen file type's.
void followFileType(QFileDialog& dialog) {
    const auto suffixOf = [](const QString& filter) {
        return filter.section("(*.", 1).section(')', 0, 0);
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixOf](const QString& f) { dialog.setDefaultSuffix(suffixOf(f)); });
}

std::optional<FileChoice> chooseSaveFile(QWidget& parent, platform::HostServices& host,
                                         const FileRequest& request) {
    QFileDialog dialog(&parent, request.caption, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The desktop's own dialog would have no room for the zoom.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(request.filters);
    followFileType(dialog);
    QComboBox* zoom = request.zoom ? addZoomEntry(dialog, *request.zoom) : nullptr;
    if (host.runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileChoice{dialog.selectedFiles().front(),
                      static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())),
                      zoom ? zoom->currentText() : request.zoom.value_or(QString())};
}

std::optional<QString> chooseOpenFile(QWidget& parent, platform::HostServices& host,
                                      const FileRequest& request) {
    QFileDialog dialog(&parent, request.caption, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (host.runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

}  // namespace

SharingDialogs desktopDialogs(QWidget& parent, platform::HostServices& host) {
    return {
        [&parent, &host](const FileRequest& r) { return chooseSaveFile(parent, host, r); },
        [&parent, &host](const FileRequest& r) { return chooseOpenFile(parent, host, r); },
        [&parent, &host](QPrinter& printer) {
            QPrintDialog dialog(&printer, &parent);
            return host.runModal(dialog) == QDialog::Accepted;
        },
    };
}

}  // namespace tracebay::mainwindow
