#include "mainwindow/PictureSharing.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "export/Exporters.h"
#include "export/UploadFile.h"
#include "mainwindow/WavePicture.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/ZoomText.h"

namespace tracebay::mainwindow {
namespace {

constexpr const char* Caption = "TraceBay";
const QString UploadSuffix = QStringLiteral(".json");

QString text(const std::string& s) { return QString::fromStdString(s); }

std::string shownPath(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

// "Save picture as..." is asked as "Save picture as".
QString dialogCaption(const std::string& title) {
    QString caption = text(title);
    while (caption.endsWith('.') || caption.endsWith(QChar(0x2026))) caption.chop(1);
    return caption;
}

QStringList filters(const exporting::Exporter& exporter) {
    QStringList list;
    for (const auto& format : exporter.formats)
        list << text(format.name) + " (*." + text(format.suffix) + ")";
    return list;
}

// The format the file's suffix names; a name without one gets the chosen filter's.
const exporting::Format& targetFormat(const exporting::Exporter& exporter, FileChoice& choice) {
    if (const auto* format = exporting::formatForSuffix(exporter, QFileInfo(choice.path).suffix()))
        return *format;
    const int last = static_cast<int>(exporter.formats.size()) - 1;
    const auto& format = exporter.formats[static_cast<size_t>(std::clamp(choice.filter, 0, last))];
    choice.path += '.' + text(format.suffix);
    return format;
}

}  // namespace

PictureSharing::PictureSharing(WaveView& view, session::Session& session,
                               const ProgramServices& services)
    : QObject(&view),
      view_(view),
      session_(session),
      window_(view.window()),
      host_(services.host),
      settings_(services.settings),
      dialogs_(desktopDialogs(window_, services.host)) {
    addActions();
    window_.setAcceptDrops(true);
    window_.installEventFilter(this);
}

void PictureSharing::addActions() {
    pictureActions_ = {
        addAction("CopyPicture", "Copy picture", QKeySequence::Copy, [this] { copyPicture(); }),
        addAction("PrintPicture", "Print...", QKeySequence::Print, [this] { printPicture(); })};
    view_.pictureMenu().addSeparator();
    for (const exporting::Exporter& exporter : exporting::exporters())
        exportActions_.emplace_back(&exporter,
                                    addAction(exporter.id, exporter.title, exporter.shortcut,
                                              [this, &exporter] { exportWith(exporter); }));
    addAction("OpenUpload", "Open upload...", QKeySequence::Open, [this] { openUpload(); });
    connect(&view_, &WaveView::uploadShown, this, &PictureSharing::enableExports);
    connect(&view_.pictureMenu(), &QMenu::aboutToShow, this, &PictureSharing::enableExports);
    enableExports();
}

QAction* PictureSharing::addAction(const std::string& name, const std::string& title,
                                   QKeySequence::StandardKey key, std::function<void()> run) {
    auto* action = new QAction(text(title), this);
    action->setObjectName(text(name));
    if (key != QKeySequence::UnknownKey) action->setShortcuts(key);
    connect(action, &QAction::triggered, this, std::move(run));
    view_.addPictureAction(action);
    return action;
}

// An action is offered only for what is shown: nothing before the first upload or file, the
// logic lines only where the upload holds them.
void PictureSharing::enableExports() {
    const bool shown = view_.slot().HasData;
    for (QAction* action : pictureActions_) action->setEnabled(shown);
    for (const auto& [exporter, action] : exportActions_)
        action->setEnabled(shown && exporter->appliesTo(view_.slot()));
}

// The cursors go with the picture to another scale: the same screen units, so that they read
// the same.
exporting::Shown PictureSharing::shown(double scale) const {
    display::Cursors cursors = view_.cursors();
    const double ratio = scale / view_.ScreenScale();
    const auto rescaled = [ratio](double pixel) {
        return display::Screen::GridLeft + (pixel - display::Screen::GridLeft) * ratio;
    };
    cursors.CursorX1 = rescaled(cursors.CursorX1);
    cursors.CursorX2 = rescaled(cursors.CursorX2);
    cursors.CursorY1 = rescaled(cursors.CursorY1);
    cursors.CursorY2 = static_cast<int16_t>(std::nearbyint(rescaled(cursors.CursorY2)));
    return {view_.slot(), cursors, scale, view_.picturePass(), view_.band()};
}

// The picture as it is on the screen: scheme, grid, zoom and cursors.
void PictureSharing::copyPicture() {
    if (const platform::PictureSurface* picture = view_.picture().drawn())
        QGuiApplication::clipboard()->setImage(picture->image());
}

void PictureSharing::printPicture() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("TraceBay picture");
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!dialogs_.setUpPrinter(printer)) return;
    if (!exporting::printPicture(shown(view_.ScreenScale()), printer))
        message("The picture could not be printed");
}

void PictureSharing::exportWith(const exporting::Exporter& exporter) {
    std::optional<QString> zoom;
    if (exporter.zoomed) zoom = zoomText(view_.ScreenScale());
    auto choice = dialogs_.chooseSaveFile(
        {dialogCaption(exporter.title), lastFolder(), filters(exporter), zoom});
    if (!choice) return;
    double scale = view_.ScreenScale();
    // The zoom shown, left as it was offered, is the view's own scale, not its rounded text.
    if (exporter.zoomed && choice->zoom != zoomText(view_.ScreenScale())) {
        const auto chosen = zoomScale(choice->zoom);
        if (!chosen) {
            message("Invalid Zoom Factor");
            return;
        }
        scale = *chosen;
    }
    const exporting::Format& format = targetFormat(exporter, *choice);
    rememberFolder(choice->path);
    const std::string failure = exporting::exportTo(format, shown(scale), choice->path);
    if (!failure.empty()) message(failure);
}

void PictureSharing::openUpload() {
    if (uploadPending()) return;
    const auto path = dialogs_.chooseOpenFile(
        {"Open upload", lastFolder(), {"TraceBay upload (*.json)", "All files (*)"}, {}});
    if (!path) return;
    rememberFolder(*path);
    openUploadFile(*path);
}

bool PictureSharing::openUploadFile(const QString& path) {
    if (uploadPending()) return false;
    std::string error;
    const auto upload = exporting::readUpload(path, error);
    if (!upload) {
        message("Cannot open \"" + shownPath(path) + "\": " + error);
        return false;
    }
    view_.showUpload(std::make_shared<const acquisition::ScopeState>(std::move(*upload)),
                     QFileInfo(path).fileName());
    return true;
}

// An upload that runs or waits its turn would replace the file as soon as it lands: a file
// opened meanwhile is refused.
bool PictureSharing::uploadPending() {
    if (session_.uploadRunning())
        message("An upload is in progress: open the file once it has finished");
    else if (session_.uploadWaiting())
        message("An upload waits its turn: open the file once it has finished");
    else
        return false;
    return true;
}

// One local .json file dragged over the window may be dropped on it.
std::optional<QString> PictureSharing::droppedUpload(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl url = data->urls().front();
    if (!url.isLocalFile() || !url.toLocalFile().endsWith(UploadSuffix, Qt::CaseInsensitive))
        return std::nullopt;
    return url.toLocalFile();
}

bool PictureSharing::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const auto path = droppedUpload(drop->mimeData());
    if (!path) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    // Opened once the drop is over: a message must not hold up the dragging program.
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, file = *path] { openUploadFile(file); }, Qt::QueuedConnection);
    return true;
}

QString PictureSharing::lastFolder() const {
    const QString folder = text(settings_.read(platform::Settings::LastFolder));
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void PictureSharing::rememberFolder(const QString& path) {
    settings_.write(platform::Settings::LastFolder, QFileInfo(path).absolutePath().toStdString());
}

void PictureSharing::message(const std::string& text) {
    host_.showMessage(text, Caption, platform::MessageIcon::Exclamation);
}

}  // namespace tracebay::mainwindow
