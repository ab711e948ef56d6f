#include "mainwindow/ShownUploads.h"

#include <QAction>
#include <QDir>
#include <QKeySequence>
#include <QMenu>

#include "mainwindow/MeasurementsWindow.h"
#include "mainwindow/WaveView.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;

bool flag(const platform::SettingsStore& settings, const platform::SettingKey& key) {
    return platform::settingToBool(settings.read(key)).value_or(false);
}

}  // namespace

ShownUploads::ShownUploads(WaveView& view, platform::HostServices& host,
                           platform::SettingsStore& settings)
    : QObject(&view), view_(view), host_(host), settings_(settings) {
    chooseRecording = [this](const RecordingChoice& initial) { return askForRecording(initial); };
    addActions();
    connect(&view_, &WaveView::uploadArrived, this, &ShownUploads::arrived);
}

ShownUploads::~ShownUploads() = default;

void ShownUploads::addActions() {
    view_.pictureMenu().addSeparator();
    previous_ =
        addAction("PreviousUpload", "Previous upload", QKeySequence(Qt::ALT | Qt::Key_Left));
    next_ = addAction("NextUpload", "Next upload", QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(previous_, &QAction::triggered, this, [this] { step(-1); });
    connect(next_, &QAction::triggered, this, [this] { step(1); });
    connect(addAction("Measurements", "Measurements", QKeySequence(Qt::Key_M)), &QAction::triggered,
            this, &ShownUploads::showMeasurements);
    recordAction_ = addAction("RecordUploads", "Record uploads to folder…", QKeySequence());
    recordAction_->setCheckable(true);
    connect(recordAction_, &QAction::toggled, this, &ShownUploads::setRecording);
    enableSteps();
}

QAction* ShownUploads::addAction(const char* name, const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(key);
    view_.addPictureAction(action);
    return action;
}

// A new upload or opened file: kept, measured, and recorded when it came from the instrument.
void ShownUploads::arrived() {
    history_.add(view_.upload(), view_.shownFile());
    if (measurements_) measurements_->showUpload(view_.slot(), live_);
    if (recorder_ && view_.shownFile().isEmpty()) record();
    enableSteps();
    emit changed();
}

void ShownUploads::step(int direction) {
    const session::UploadHistory::Entry* entry = history_.step(direction);
    if (!entry) return;
    view_.recallUpload(entry->upload, entry->file);
    if (measurements_) measurements_->showFigures(view_.slot());
    enableSteps();
    emit changed();
}

void ShownUploads::enableSteps() {
    previous_->setEnabled(history_.count() > 0 && history_.place() > 1);
    next_->setEnabled(!history_.newestShown() && history_.count() > 0);
}

QString ShownUploads::place() const {
    if (history_.count() < 2 || (live_ && history_.newestShown())) return {};
    return QString("%1 of %2").arg(history_.place()).arg(history_.count());
}

// The upload is written once the files that go beside it are made; not when the recording
// ended meanwhile.
void ShownUploads::record() {
    if (!besideFiles) {
        write(view_.slot(), {});
        return;
    }
    besideFiles(view_.slot(),
                [this, upload = view_.slot()](std::vector<exporting::BesideFile> beside) {
                    write(upload, beside);
                });
}

// The picture goes at 100%, without the cursors: the same for every upload of the recording.
void ShownUploads::write(const acquisition::ScopeState& upload,
                         const std::vector<exporting::BesideFile>& beside) {
    if (!recorder_) return;
    const std::string failure = recorder_->record({upload}, beside);
    if (failure.empty()) return;
    recordAction_->setChecked(false);
    host_.showMessage(failure, "TraceBay", platform::MessageIcon::Exclamation);
}

void ShownUploads::setRecording(bool on) {
    if (!on) {
        recorder_.reset();
        emit changed();
        return;
    }
    const auto choice = chooseRecording(storedChoice());
    if (choice) startRecording(*choice);
    if (!recorder_) {
        const QSignalBlocker quiet(recordAction_);
        recordAction_->setChecked(false);
        return;
    }
    emit changed();
}

// A folder that cannot be made or opened is named at once.
void ShownUploads::startRecording(const RecordingChoice& choice) {
    settings_.write(Keys::RecordFolder, QDir::fromNativeSeparators(choice.folder).toStdString());
    settings_.write(Keys::RecordPng, platform::boolSetting(choice.files.png));
    settings_.write(Keys::RecordVcd, platform::boolSetting(choice.files.vcd));
    settings_.write(Keys::RecordSigrok, platform::boolSetting(choice.files.sr));
    recorder_ = std::make_unique<exporting::UploadRecorder>(choice.folder, choice.files);
    if (const std::string failure = recorder_->folderFailure(); !failure.empty()) {
        recorder_.reset();
        host_.showMessage(failure, "TraceBay", platform::MessageIcon::Exclamation);
    }
}

RecordingChoice ShownUploads::storedChoice() const {
    return {QDir::toNativeSeparators(QString::fromStdString(settings_.read(Keys::RecordFolder))),
            {flag(settings_, Keys::RecordPng), flag(settings_, Keys::RecordVcd),
             flag(settings_, Keys::RecordSigrok)}};
}

std::optional<RecordingChoice> ShownUploads::askForRecording(const RecordingChoice& initial) {
    RecordDialog dialog(initial, &view_.window());
    if (host_.runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

// Beside the main window, showing the upload shown; a series of repeated uploads starts here.
void ShownUploads::showMeasurements() {
    if (!measurements_) measurements_ = new MeasurementsWindow(settings_, &view_.window());
    if (!measurements_->isVisible() && view_.slot().HasData)
        measurements_->showUpload(view_.slot(), false);
    measurements_->show();
    measurements_->raise();
}

void ShownUploads::saveSettings() {
    if (measurements_ && measurements_->isVisible()) measurements_->savePlace();
}

}  // namespace tracebay::mainwindow
