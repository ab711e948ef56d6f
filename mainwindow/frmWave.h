#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "mainwindow/ControlColumn.h"
#include "mainwindow/frmPrgress.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"
#include "session/LinkOptions.h"
#include "session/SessionOwner.h"

class QAction;
class QKeySequence;

namespace tracebay::mainwindow {

class Comparisons;
class UploadDecoders;
class PictureSharing;
class ShownUploads;
class WaveView;
class ZoomField;

// What the main window works with but does not own: the host of its thread, the settings store,
// and the maker of the session that owns the instrument.
struct ProgramServices {
    platform::HostServices& host;
    platform::SettingsStore& settings;
    session::SessionMaker makeSession;
};

// How this run starts: on a simulated instrument behind the serial device given here, the
// user's own transport being kept for the next run.
struct StartOptions {
    std::string simulatorDevice;
};

// The main window: the left column of controls wired to the session and to the view of the
// instrument's screen, and the program's start and end.
class frmWave : public QWidget, private session::SessionObserver {
    Q_OBJECT
public:
    static constexpr int ClientWidthTwips = 11985;
    static constexpr int ClientHeightTwips = 9030;

    explicit frmWave(ProgramServices services, StartOptions options = {},
                     QWidget* parent = nullptr);
    ~frmWave() override;

    // Uploads the ticked traces with the progress window.
    void LoadData();

    WaveView& view() { return *view_; }
    PictureSharing& sharing() { return *sharing_; }
    ShownUploads& shownUploads() { return *shown_; }
    Comparisons& comparisons() { return *comparisons_; }
    UploadDecoders& decoders() { return *decoders_; }
    session::Session& session() { return session_->session(); }
    const session::LinkOptions& linkOptions() const { return options_; }
    // The transport for the next connect; a connection that is there ends first.
    void applyLinkOptions(const session::LinkOptions& options);
    // The program is asked to end from outside: the open boxes are answered with their default,
    // and the window closes in order once the session is idle.
    void closeOnSignal();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Closing waits for the operation in progress and for the open boxes; uploads that repeat
    // end first.
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void Timer1_Timer();
    void cmdRefresh_Click();
    void ChkCH_Click(int index);
    void GridCheck_Click();
    void OptionColor_Click(int index);
    void FlatBtnUpload_Click(int index);
    void RefreshContinuously_Toggled(bool on);

private:
    void setupWindow();
    void connectHandlers();
    void setupMeasuring();

    void Form_Load();
    void MainLoadInit();
    void applyViewFlags();
    void showTicks();
    void showTitle();
    void resetRefreshButton();
    session::Sources tickedSources() const;
    void showOptions();
    void showPanel();
    void closeWhenSettled();
    void closeProgram();
    void message(const std::string& text);

    // SessionObserver
    void stateChanged(session::State state) override;
    void repeatingChanged(bool on) override;
    void progressValue(double value) override;
    void progressStep(int step) override;
    void sourcesSettled(const session::Sources& asked, const session::Sources& settled) override;
    void uploaded(const session::Upload& upload) override;

    ProgramServices services_;
    StartOptions start_;
    ControlColumn controls_;
    UploadProgress progress_;
    session::LinkOptions options_;
    int32_t gpibAddress_ = 0;
    WaveView* view_ = nullptr;
    ZoomField* zoom_ = nullptr;
    PictureSharing* sharing_ = nullptr;
    ShownUploads* shown_ = nullptr;
    Comparisons* comparisons_ = nullptr;
    UploadDecoders* decoders_ = nullptr;
    std::unique_ptr<session::SessionOwner> session_;
    std::unique_ptr<platform::HostTimer> Timer1;
    bool connected_ = false;
    bool uploading_ = false;
    bool closeRequested_ = false;
    bool closed_ = false;
    // The parts of the last upload nobody was told of, said once its progress window is gone.
    std::string untold_;

    QAction* RefreshContinuouslyAction = nullptr;
};

}  // namespace tracebay::mainwindow
