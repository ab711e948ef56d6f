#include "mainwindow/frmWave.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "mainwindow/Comparisons.h"
#include "mainwindow/Icons.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/ProgramSettings.h"
#include "mainwindow/ShownUploads.h"
#include "mainwindow/UploadDecoders.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/WindowTitle.h"
#include "mainwindow/ZoomField.h"
#include "mainwindow/frmPrgress.h"
#include "options/frmOption.h"
#include "panel/frmV_Key.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

using platform::twipsToPixels;
using session::State;

constexpr const char* Title = "TraceBay";
constexpr const char* PleaseConnect = "Please Connect Oscilloscope First";
constexpr int StartTimerMs = 1;
constexpr int IdleTimerMs = 500;

}  // namespace

frmWave::frmWave(ProgramServices services, StartOptions options, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      start_(std::move(options)),
      controls_(*this),
      progress_(services_.host, services_.settings, *this),
      Timer1(services_.host.createTimer()) {
    setupWindow();
    view_ = new WaveView(*this);
    session_ = services_.makeSession(*this);
    connectHandlers();
    sharing_ = new PictureSharing(*view_, session(), services_);
    setupMeasuring();
    shown_ = new ShownUploads(*view_, services_.host, services_.settings);
    connect(shown_, &ShownUploads::changed, this, &frmWave::showTitle);
    comparisons_ = new Comparisons(*view_, services_.host, referencesFile(services_.settings));
    connect(comparisons_, &Comparisons::changed, this, &frmWave::showTitle);
    connect(comparisons_, &Comparisons::stopAsked, RefreshContinuouslyAction,
            [this] { RefreshContinuouslyAction->setChecked(false); });
    decoders_ = new UploadDecoders(*view_, *shown_, services_.host, services_.settings);
    Form_Load();
}

frmWave::~frmWave() = default;

void frmWave::setupWindow() {
    setObjectName("frmWave");
    setWindowTitle(Title);
    setWindowIcon(Icons::program());
    setFont(controlFont());
    // The narrow column has room for a box and its caption only when they sit close together.
    setStyleSheet("QCheckBox, QRadioButton { spacing: 3px; }");
    setFocusPolicy(Qt::StrongFocus);
    resize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    Timer1->setHandler([this] { Timer1_Timer(); });
}

void frmWave::connectHandlers() {
    connect(controls_.cmdRefresh, &QPushButton::clicked, this, &frmWave::cmdRefresh_Click);
    auto* sources = new QButtonGroup(this);
    sources->setExclusive(false);
    for (int i = 0; i < 4; ++i) sources->addButton(controls_.ChkCH[i], i);
    connect(sources, &QButtonGroup::idToggled, this, [this](int id, bool) { ChkCH_Click(id); });
    connect(controls_.GridCheck, &QCheckBox::toggled, this, &frmWave::GridCheck_Click);
    for (int i = 0; i < 2; ++i)
        connect(controls_.OptionColor[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) OptionColor_Click(i);
        });
    zoom_ = new ZoomField(*controls_.ZoomCombo, *controls_.BestFitChk, *view_,
                          [this](const std::string& text) { message(text); });
    auto* upload = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) upload->addButton(controls_.FlatBtnUpload[i], i);
    connect(upload, &QButtonGroup::idClicked, this, &frmWave::FlatBtnUpload_Click);
}

// The cursors and the repeated upload, offered in the picture's menu.
void frmWave::setupMeasuring() {
    view_->addCursorActions();
    RefreshContinuouslyAction = view_->addCheckableAction(
        "RefreshContinuously", "Refresh continuously", QKeySequence(Qt::CTRL | Qt::Key_F5));
    connect(RefreshContinuouslyAction, &QAction::toggled, this,
            &frmWave::RefreshContinuously_Toggled);
}

void frmWave::Form_Load() {
    MainLoadInit();
    Timer1->setInterval(StartTimerMs);
    Timer1->setEnabled(true);
    view_->setScreenScale(1.0);
    zoom_->fill();
    view_->setBestFit(true);
    view_->setColorDisplay(true);
    view_->setGridVisible(true);
    for (QCheckBox* box : controls_.ChkCH) box->setEnabled(true);
    showTicks();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

// The program's state at start: not connected, the settings of the last run.
void frmWave::MainLoadInit() {
    view_->showConnected(false);
    // What a value that cannot be read leaves behind.
    options_.ComPort = 0;
    gpibAddress_ = 0;
    acquisition::Sources ticked;
    LoadSettings(services_.settings, {options_, ticked, gpibAddress_});
    view_->setTicked(ticked);
    if (!start_.simulatorDevice.empty()) {
        options_.IoType = session::LinkOptions::IoTypeSerial;
        options_.SerialDevice = start_.simulatorDevice;
    }
}

// Start-up ends once the window is on screen: the view flags go into the controls and the empty
// screen is painted.
void frmWave::Timer1_Timer() {
    if (!view_->InitPending()) return;
    Timer1->setInterval(IdleTimerMs);
    view_->finishStartUp();
    applyViewFlags();
    view_->Form_Resize();
    setFocus();
}

void frmWave::applyViewFlags() {
    zoom_->showBestFitFlag();
    controls_.GridCheck->setChecked(view_->gridVisible());
    controls_.OptionColor[view_->colorDisplay() ? 0 : 1]->setChecked(true);
}

// The boxes show the view's ticks; a box's own handler then finds its flag as it is.
void frmWave::showTicks() {
    const acquisition::Sources ticked = view_->ticked();
    for (int i = 0; i < acquisition::Sources::Count; ++i) controls_.ChkCH[i]->setChecked(ticked[i]);
}

void frmWave::resizeEvent(QResizeEvent*) { view_->Form_Resize(); }

void frmWave::keyPressEvent(QKeyEvent* event) {
    // Esc ends repeated uploads, wherever the focus is, after the upload in progress.
    if (event->key() == Qt::Key_Escape && RefreshContinuouslyAction->isChecked()) {
        RefreshContinuouslyAction->setChecked(false);
        return;
    }
    // F5 and the scrolling keys belong to the window itself, not to a control that has the focus.
    const bool windowHasFocus = !focusWidget() || focusWidget() == this;
    if (windowHasFocus && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_F5) {
            cmdRefresh_Click();
            return;
        }
        if (view_->scrollByKey(event->key())) return;
    }
    QWidget::keyPressEvent(event);
}

void frmWave::contextMenuEvent(QContextMenuEvent* event) { view_->openPictureMenu(event); }

// Closing waits for what the session has in hand and for the boxes that are open; a repetition
// ends first.
void frmWave::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    session().stopRefreshing();
    if (session().idle() && !services_.host.modalOpen()) {
        closeProgram();
        event->accept();
        return;
    }
    event->ignore();
    closeWhenSettled();
}

// The close is asked for again each time the session has become idle or the last box has gone:
// an operation or a box that came in between puts it off once more, never for good.
void frmWave::closeWhenSettled() {
    if (closeRequested_) return;
    closeRequested_ = true;
    const auto again = [this] {
        closeRequested_ = false;
        close();
    };
    if (session().idle())
        services_.host.whenNoModal(again);
    else
        session().whenIdle(again);
}

void frmWave::closeOnSignal() {
    services_.host.endModals();
    close();
}

void frmWave::closeProgram() {
    closed_ = true;
    view_->setViewApplied(false);
    acquisition::Sources ticked = view_->ticked();
    SaveSettings(services_.settings, {options_, ticked, gpibAddress_},
                 start_.simulatorDevice.empty());
    progress_.save(services_.settings);
    shown_->saveSettings();
    if (const std::string why = services_.settings.sync(); !why.empty())
        message("The settings could not be saved in \"" + services_.settings.fileName() +
                "\": " + why);
    session().close();
    Timer1->setEnabled(false);
}

void frmWave::cmdRefresh_Click() {
    // While uploads repeat, the button stops them after the upload in progress.
    if (RefreshContinuouslyAction->isChecked()) {
        RefreshContinuouslyAction->setChecked(false);
        return;
    }
    // The button stays disabled until the upload it asked for has ended.
    if (!uploading_) {
        if (!connected_) {
            message(PleaseConnect);
        } else if (tickedSources().any()) {
            controls_.cmdRefresh->setEnabled(false);
            LoadData();
            return;
        }
    }
    resetRefreshButton();
}

void frmWave::LoadData() {
    if (tickedSources().any()) session().refresh(tickedSources(), frmPrgress::UploadDelayMs);
}

session::Sources frmWave::tickedSources() const { return view_->ticked(); }

void frmWave::RefreshContinuously_Toggled(bool on) {
    if (!on) {
        session().stopRefreshing();
        if (!uploading_) resetRefreshButton();
        return;
    }
    if (!connected_ || !tickedSources().any()) {
        RefreshContinuouslyAction->setChecked(false);
        if (!connected_) message(PleaseConnect);
        return;
    }
    controls_.cmdRefresh->setIcon(Icons::stop());
    controls_.cmdRefresh->setEnabled(true);
    session().startRefreshing(tickedSources(), frmPrgress::UploadDelayMs);
}

void frmWave::resetRefreshButton() {
    controls_.cmdRefresh->setIcon(RefreshContinuouslyAction->isChecked() ? Icons::stop()
                                                                         : Icons::refresh());
    controls_.cmdRefresh->setEnabled(true);
}

void frmWave::ChkCH_Click(int index) {
    acquisition::Sources ticked = view_->ticked();
    QCheckBox* box = controls_.ChkCH[index];
    // A choice made while an upload runs is undone: the upload decides what it fetches.
    if (uploading_) {
        box->setChecked(ticked[index]);
        return;
    }
    ticked.set(index, box->isChecked() && box->isEnabled());
    view_->setTicked(ticked);
    // Repeated uploads fetch the new choice from the next round on.
    if (RefreshContinuouslyAction->isChecked()) {
        if (tickedSources().any())
            session().startRefreshing(tickedSources(), frmPrgress::UploadDelayMs);
        else
            RefreshContinuouslyAction->setChecked(false);
    }
}

void frmWave::GridCheck_Click() { view_->setGridVisible(controls_.GridCheck->isChecked()); }

void frmWave::OptionColor_Click(int) {
    view_->setColorDisplay(controls_.OptionColor[0]->isChecked());
}

void frmWave::FlatBtnUpload_Click(int index) {
    switch (index) {
        case 0: session().connect(options_); break;
        case 1: session().disconnect(); break;
        case 2: showOptions(); break;
        case 3: showPanel(); break;
        default: break;
    }
}

void frmWave::showOptions() {
    options::frmOption dialog(options_, options::systemSerialPorts(), this);
    // Opening the dialog puts a port number it does not know back to COM1.
    options_.ComPort = dialog.values().ComPort;
    if (services_.host.runModal(dialog) == QDialog::Accepted) applyLinkOptions(dialog.values());
}

// Only a connection that is there ends: the key lock goes out over the link that is connected,
// before the new one is chosen. A connect in progress is left alone; the new choice is for the
// next connect.
void frmWave::applyLinkOptions(const session::LinkOptions& options) {
    const State state = session().state();
    if (state == State::Connected || state == State::Uploading) session().disconnect();
    options_ = options;
}

void frmWave::showPanel() {
    if (!connected_) {
        message(PleaseConnect);
        return;
    }
    panel::frmV_Key panel(services_.host, session(), this);
    services_.host.runModal(panel);
}

void frmWave::message(const std::string& text) {
    services_.host.showMessage(text, Title, platform::MessageIcon::Exclamation);
}

// The indicator changes when a connect or disconnect has ended; the progress window lives as
// long as the upload.
void frmWave::stateChanged(State state) {
    if (closed_) return;
    uploading_ = state == State::Uploading;
    if (state == State::Connected || state == State::Disconnected) {
        connected_ = state == State::Connected;
        view_->showConnected(connected_);
    }
    // Repeated uploads show no progress window: the keys stay with the main window.
    if (uploading_) {
        if (!RefreshContinuouslyAction->isChecked()) progress_.started();
        return;
    }
    progress_.ended();
    resetRefreshButton();
    if (!untold_.empty()) message(std::exchange(untold_, {}));
}

void frmWave::repeatingChanged(bool on) {
    if (RefreshContinuouslyAction->isChecked() != on) RefreshContinuouslyAction->setChecked(on);
    shown_->setLive(on);
    showTitle();
}

void frmWave::showTitle() {
    const acquisition::ScopeState& shown = view_->slot();
    setWindowTitle(titleOf({view_->shownFile(), shown.HasData ? shown.Instrument.Model : "",
                            shown.HasData ? shown.Captured : "", shown_->place(),
                            RefreshContinuouslyAction->isChecked(), shown_->recording(),
                            comparisons_->testCounts()}));
}

void frmWave::progressValue(double value) { progress_.setProgressValue(value); }

void frmWave::progressStep(int step) { progress_.setProgressStep(step); }

// The snapshot unticks what the instrument refused and ticks both channels for X-Y, at once;
// a box the user changed since the upload was asked for keeps the user's choice. The flags
// change first, so that the boxes' own handler, which undoes a click during an upload, keeps
// them.
void frmWave::sourcesSettled(const session::Sources& asked, const session::Sources& settled) {
    if (closed_) return;
    view_->setTicked(view_->ticked().settledBy(asked, settled));
    showTicks();
}

// The parts nobody was told of are named once, after the picture.
void frmWave::uploaded(const session::Upload& upload) {
    if (upload.lost || closed_) return;
    view_->showUpload(upload.screen);
    untold_ = upload.untoldText();
}

}  // namespace tracebay::mainwindow
