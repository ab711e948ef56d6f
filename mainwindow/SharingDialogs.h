#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "platform/HostServices.h"

class QPrinter;
class QWidget;

namespace tracebay::mainwindow {

// What a file dialog is asked for.
struct FileRequest {
    QString caption;
    QString folder;               // where it opens
    QStringList filters;          // "PNG image (*.png)", ...
    std::optional<QString> zoom;  // the zoom entry's first text, when the export takes a zoom
};

// What the user chose in a file dialog.
struct FileChoice {
    QString path;
    int filter = 0;  // index into the request's filters
    QString zoom;    // as typed into the zoom entry
};

// The windows that ask the user, as functions: the desktop's dialogs in the program, scripted
// answers in tests, so that an offscreen run never waits for a person. Each returns nothing
// (or false) when the user cancelled.
struct SharingDialogs {
    std::function<std::optional<FileChoice>(const FileRequest&)> chooseSaveFile;
    std::function<std::optional<QString>(const FileRequest&)> chooseOpenFile;
    // Lets the user choose and set up the printer.
    std::function<bool(QPrinter&)> setUpPrinter;
};

// The desktop's file and print dialogs, shown over `parent` through the host.
SharingDialogs desktopDialogs(QWidget& parent, platform::HostServices& host);

}  // namespace tracebay::mainwindow
