#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/SharingDialogs.h"
#include "mainwindow/frmWave.h"
#include "session/Session.h"

class QAction;
class QMimeData;

namespace tracebay::exporting {
struct Exporter;
struct Shown;
}  // namespace tracebay::exporting

namespace tracebay::mainwindow {

class WaveView;

// Keeping and sharing what the view shows, from the picture's menu and the standard shortcuts:
// the picture to the clipboard, to the printer, or into a PNG, SVG or PDF file at a zoom; the
// samples as CSV; the upload saved and opened again (also from the command line and by dropping
// a .json file on the window); the logic lines for logic-analysis tools. Messages go through
// the host; the dialogs remember the last folder in the settings.
class PictureSharing : public QObject {
    Q_OBJECT
public:
    PictureSharing(WaveView& view, session::Session& session, const ProgramServices& services);

    void setDialogs(SharingDialogs dialogs) { dialogs_ = std::move(dialogs); }

    void copyPicture();
    void printPicture();
    void exportWith(const exporting::Exporter& exporter);
    void openUpload();
    // Shows the upload saved in `path` as if it had just been uploaded; a file that is not an
    // upload, or one opened while an upload runs, leaves the picture as it was, and a message
    // says why.
    bool openUploadFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addActions();
    QAction* addAction(const std::string& name, const std::string& text,
                       QKeySequence::StandardKey key, std::function<void()> run);
    void enableExports();
    exporting::Shown shown(double scale) const;
    QString lastFolder() const;
    void rememberFolder(const QString& path);
    bool uploadPending();
    static std::optional<QString> droppedUpload(const QMimeData* data);
    void message(const std::string& text);

    WaveView& view_;
    session::Session& session_;
    QWidget& window_;
    platform::HostServices& host_;
    platform::SettingsStore& settings_;
    SharingDialogs dialogs_;
    std::vector<QAction*> pictureActions_;
    std::vector<std::pair<const exporting::Exporter*, QAction*>> exportActions_;
};

}  // namespace tracebay::mainwindow
