#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "export/UploadRecorder.h"
#include "mainwindow/RecordDialog.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"
#include "session/UploadHistory.h"

class QAction;

namespace tracebay::mainwindow {

class MeasurementsWindow;
class WaveView;

// What becomes of every upload the view shows: it is kept in the history, which the picture's
// menu steps through ("Previous upload", Alt+Left; "Next upload", Alt+Right); it is measured in
// the measurements window ("Measurements", M); and while "Record uploads to folder…" is on,
// each upload from the instrument is written into the folder chosen. Whatever acts on the
// picture acts on the upload shown.
class ShownUploads : public QObject {
    Q_OBJECT
public:
    ShownUploads(WaveView& view, platform::HostServices& host, platform::SettingsStore& settings);
    ~ShownUploads() override;

    // Asks where to record and what; nothing when the user cancelled. The desktop's dialog in
    // the program, a scripted answer in tests.
    std::function<std::optional<RecordingChoice>(const RecordingChoice&)> chooseRecording;
    // Makes the files of the caller's that go beside a recorded upload, and hands them to `done`
    // (later, maybe); none: nothing goes beside it.
    std::function<void(const acquisition::ScopeState& upload,
                       std::function<void(std::vector<exporting::BesideFile>)> done)>
        besideFiles;

    // Uploads repeat: their measurements add up to a series.
    void setLive(bool live) { live_ = live; }
    void step(int direction);
    const session::UploadHistory& history() const { return history_; }
    // "3 of 100" while an earlier upload is shown, or while uploads are kept and do not repeat;
    // empty otherwise.
    QString place() const;
    bool recording() const { return recorder_ != nullptr; }
    MeasurementsWindow* measurementsWindow() const { return measurements_; }
    // What is kept between runs goes into the settings.
    void saveSettings();

signals:
    // Another upload is shown, or the recording started or stopped.
    void changed();

private:
    void addActions();
    QAction* addAction(const char* name, const QString& text, const QKeySequence& key);
    void arrived();
    void record();
    void write(const acquisition::ScopeState& upload,
               const std::vector<exporting::BesideFile>& beside);
    void setRecording(bool on);
    void startRecording(const RecordingChoice& choice);
    void showMeasurements();
    void enableSteps();
    RecordingChoice storedChoice() const;
    std::optional<RecordingChoice> askForRecording(const RecordingChoice& initial);

    WaveView& view_;
    platform::HostServices& host_;
    platform::SettingsStore& settings_;
    session::UploadHistory history_;
    std::unique_ptr<exporting::UploadRecorder> recorder_;
    MeasurementsWindow* measurements_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* next_ = nullptr;
    QAction* recordAction_ = nullptr;
    bool live_ = false;
};

}  // namespace tracebay::mainwindow
