#include "mainwindow/frmWave.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "mainwindow/FlatButton.h"
#include "mainwindow/Icons.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/ProgramSettings.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/ZoomText.h"
#include "mainwindow/frmPrgress.h"
#include "options/frmOption.h"
#include "panel/frmV_Key.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

using platform::toPixels;
using platform::twipsToPixels;
using session::State;

constexpr const char* Title = "TraceBay";
constexpr const char* PleaseConnect = "Please Connect Oscilloscope First";
constexpr int StartTimerMs = 1;
constexpr int IdleTimerMs = 500;
const QStringList ZoomFactors{"50%",  "75%",  "100%", "125%", "150%",
                              "200%", "250%", "300%", "400%", "500%"};
constexpr int InitialZoomIndex = 4;

// The small sans-serif face of the window's controls; frames bold.
QFont controlFont(bool bold = false) {
    QFont font;
    font.setFamilies({"Liberation Sans", "Arimo", "DejaVu Sans Condensed", "DejaVu Sans"});
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

template <typename Control>
Control* placed(Control* control, const char* name, QRect twipsPlace, bool bold = false) {
    control->setObjectName(name);
    control->setGeometry(twipsPlace);
    control->setFont(controlFont(bold));
    return control;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, QRect place,
                 bool bold) {
    return placed(new QGroupBox(caption, parent), name, place, bold);
}

QPushButton* flatButton(QWidget* parent, const char* name, const QString& caption,
                        const QIcon& icon, QRect place) {
    return placed(new FlatButton(icon, caption, parent), name, place);
}

}  // namespace

frmWave::frmWave(ProgramServices services, StartOptions options, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      start_(std::move(options)),
      Timer1(services_.host.createTimer()) {
    setupWindow();
    setupRefreshColumn();
    setupDisplayFrame();
    setupUploadFrame();
    view_ = new WaveView(*this);
    session_ = services_.makeSession(*this);
    connectHandlers();
    new PictureSharing(*view_, session(), services_);
    setupMeasuring();
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

void frmWave::setupRefreshColumn() {
    cmdRefresh = flatButton(this, "cmdRefresh", "     Refresh", Icons::refresh(),
                            toPixels({0, 0, 1185, 390}));
    cmdRefresh->setToolTip("Refresh Data(F5)");
    Frame1 = frame(this, "Frame1", "Refresh", toPixels({0, 480, 1185, 1455}), true);
    Frame4 = frame(Frame1, "Frame4", "", toPixels({60, 200, 1065, 1185}), false);
    const std::array<const char*, 4> names{"ChkCH_0", "ChkCH_1", "ChkCH_2", "ChkCH_3"};
    const std::array<const char*, 4> captions{"CH1", "CH2", "Math", "LA"};
    for (int i = 0; i < 4; ++i)
        ChkCH[i] = placed(new QCheckBox(captions[i], Frame4), names[i],
                          toPixels({60, 180 + 240 * i, 945, 255}));
}

void frmWave::setupDisplayFrame() {
    Frame2[0] = frame(this, "Frame2_0", "Display", toPixels({0, 1950, 1185, 2355}), true);
    Frame6 = frame(Frame2[0], "Frame6", "Zoom", toPixels({60, 210, 1065, 1005}), false);
    ZoomCombo = placed(new QComboBox(Frame6), "ZoomCombo", toPixels({60, 210, 945, 315}));
    ZoomCombo->setEditable(true);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setCompleter(nullptr);
    BestFitChk =
        placed(new QCheckBox("Best Fit", Frame6), "BestFitChk", toPixels({60, 540, 825, 345}));
    BestFitChk->setChecked(true);
    Frame3 = frame(Frame2[0], "Frame3", "", toPixels({60, 1200, 1065, 765}), false);
    OptionColor[0] =
        placed(new QRadioButton("Color", Frame3), "OptionColor_0", toPixels({60, 180, 900, 255}));
    OptionColor[1] =
        placed(new QRadioButton("B&&W", Frame3), "OptionColor_1", toPixels({60, 450, 900, 255}));
    OptionColor[0]->setChecked(true);
    GridCheck =
        placed(new QCheckBox("  Grid", Frame2[0]), "GridCheck", toPixels({120, 1950, 825, 375}));
    GridCheck->setChecked(true);
}

void frmWave::setupUploadFrame() {
    Frame2[1] = frame(this, "Frame2_1", "Upload", toPixels({0, 4350, 1185, 1635}), true);
    // The menu bar's background.
    Frame2[1]->setAutoFillBackground(true);
    Frame2[1]->setBackgroundRole(QPalette::Button);
    const std::array<const char*, 4> names{"FlatBtnUpload_0", "FlatBtnUpload_1", "FlatBtnUpload_2",
                                           "FlatBtnUpload_3"};
    const std::array<QString, 4> captions{"     Connect", "    DisConnect", "    Options",
                                          "     Panel"};
    const std::array<QIcon, 4> icons{Icons::connect(), Icons::disconnect(), Icons::options(),
                                     Icons::panel()};
    const std::array<int, 4> tops{210, 555, 915, 1260};
    for (int i = 0; i < 4; ++i)
        FlatBtnUpload[i] = flatButton(Frame2[1], names[i], captions[i], icons[i],
                                      toPixels({30, tops[i], 1125, 330}));
}

void frmWave::connectHandlers() {
    connect(cmdRefresh, &QPushButton::clicked, this, &frmWave::cmdRefresh_Click);
    auto* sources = new QButtonGroup(this);
    sources->setExclusive(false);
    for (int i = 0; i < 4; ++i) sources->addButton(ChkCH[i], i);
    connect(sources, &QButtonGroup::idToggled, this, [this](int id, bool) { ChkCH_Click(id); });
    connect(GridCheck, &QCheckBox::toggled, this, &frmWave::GridCheck_Click);
    for (int i = 0; i < 2; ++i)
        connect(OptionColor[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) OptionColor_Click(i);
        });
    connect(BestFitChk, &QCheckBox::toggled, this, &frmWave::BestFitChk_Click);
    connect(ZoomCombo, &QComboBox::editTextChanged, this, &frmWave::ZoomCombo_Change);
    connect(ZoomCombo, &QComboBox::textActivated, this, &frmWave::ZoomCombo_Change);
    auto* upload = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) upload->addButton(FlatBtnUpload[i], i);
    connect(upload, &QButtonGroup::idClicked, this, &frmWave::FlatBtnUpload_Click);
    view_->showBestFit = [this](double scale) { showBestFit(scale); };
}

// The cursors and the repeated upload, offered in the picture's menu.
void frmWave::setupMeasuring() {
    view_->pictureMenu().addSeparator();
    connect(checkableAction("TimeCursors", "Time cursors", QKeySequence(Qt::Key_T)),
            &QAction::toggled, view_, &WaveView::setTimeCursors);
    connect(checkableAction("VoltCursors", "Voltage cursors", QKeySequence(Qt::Key_V)),
            &QAction::toggled, view_, &WaveView::setVoltCursors);
    RefreshContinuouslyAction = checkableAction("RefreshContinuously", "Refresh continuously",
                                                QKeySequence(Qt::CTRL | Qt::Key_F5));
    connect(RefreshContinuouslyAction, &QAction::toggled, this,
            &frmWave::RefreshContinuously_Toggled);
}

QAction* frmWave::checkableAction(const char* name, const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setShortcut(key);
    view_->addPictureAction(action);
    return action;
}

void frmWave::Form_Load() {
    view_->InitPending = true;
    MainLoadInit();
    Timer1->setInterval(StartTimerMs);
    Timer1->setEnabled(true);
    view_->ScreenScale = 1.0;
    ZoomCombo->clear();
    ZoomCombo->addItems(ZoomFactors);
    ZoomCombo->setCurrentIndex(InitialZoomIndex);
    acquisition::ScopeState& slot = view_->slot();
    slot.BestFit = slot.ColorDisplay = slot.GridVisible = true;
    view_->applyIndicatorScheme();
    for (QCheckBox* box : ChkCH) box->setEnabled(true);
    const std::array<bool, 4> shown{slot.ShowCh1, slot.ShowCh2, slot.ShowMath, slot.ShowLa};
    for (int i = 0; i < 4; ++i) ChkCH[i]->setChecked(shown[i]);
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
    acquisition::ScopeState& slot = view_->slot();
    LoadSettings(services_.settings, {options_, slot, gpibAddress_});
    if (!start_.simulatorDevice.empty()) {
        options_.IoType = session::LinkOptions::IoTypeSerial;
        options_.SerialDevice = start_.simulatorDevice;
    }
    slot.CapturedCh1 = slot.CapturedCh2 = slot.CapturedMath = slot.CapturedLa = false;
}

// Start-up ends once the window is on screen: the view flags go into the controls and the empty
// screen is painted.
void frmWave::Timer1_Timer() {
    if (!view_->InitPending) return;
    Timer1->setInterval(IdleTimerMs);
    view_->InitPending = false;
    view_->slot().ViewApplied = true;
    applyViewFlags();
    view_->Form_Resize();
    setFocus();
}

void frmWave::applyViewFlags() {
    const acquisition::ScopeState& slot = view_->slot();
    BestFitChk->setChecked(slot.BestFit);
    ZoomCombo->setEnabled(!slot.BestFit);
    GridCheck->setChecked(slot.GridVisible);
    OptionColor[slot.ColorDisplay ? 0 : 1]->setChecked(true);
}

void frmWave::resizeEvent(QResizeEvent*) { view_->Form_Resize(); }

void frmWave::keyPressEvent(QKeyEvent* event) {
    // F5 belongs to the window itself, not to a control that has the focus.
    const bool windowHasFocus = !focusWidget() || focusWidget() == this;
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier && windowHasFocus) {
        cmdRefresh_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmWave::contextMenuEvent(QContextMenuEvent* event) { view_->openPictureMenu(event); }

void frmWave::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        closeRequested_ = true;
        session().stopRefreshing();
        return;
    }
    closeProgram();
    event->accept();
}

void frmWave::closeProgram() {
    view_->slot().ViewApplied = false;
    SaveSettings(services_.settings, {options_, view_->slot(), gpibAddress_},
                 start_.simulatorDevice.empty());
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
            cmdRefresh->setEnabled(false);
            LoadData();
            return;
        }
    }
    resetRefreshButton();
}

void frmWave::LoadData() {
    if (tickedSources().any()) session().refresh(tickedSources(), frmPrgress::UploadDelayMs);
}

session::Sources frmWave::tickedSources() const {
    const acquisition::ScopeState& s = view_->slot();
    return {s.ShowCh1, s.ShowCh2, s.ShowMath, s.ShowLa};
}

void frmWave::RefreshContinuously_Toggled(bool on) {
    if (!on) {
        session().stopRefreshing();
        if (!uploading_) resetRefreshButton();
        return;
    }
    if (!connected_) {
        RefreshContinuouslyAction->setChecked(false);
        message(PleaseConnect);
        return;
    }
    cmdRefresh->setIcon(Icons::stop());
    cmdRefresh->setEnabled(true);
    session().startRefreshing(tickedSources(), frmPrgress::UploadDelayMs);
}

void frmWave::resetRefreshButton() {
    cmdRefresh->setIcon(RefreshContinuouslyAction->isChecked() ? Icons::stop() : Icons::refresh());
    cmdRefresh->setEnabled(true);
}

void frmWave::ChkCH_Click(int index) {
    acquisition::ScopeState& s = view_->slot();
    const std::array<bool*, 4> flags{&s.ShowCh1, &s.ShowCh2, &s.ShowMath, &s.ShowLa};
    QCheckBox* box = ChkCH[index];
    // A choice made while an upload runs is undone: the upload decides what it fetches.
    if (uploading_) {
        box->setChecked(*flags[index]);
        return;
    }
    *flags[index] = box->isChecked() && box->isEnabled();
}

void frmWave::GridCheck_Click() {
    view_->slot().GridVisible = GridCheck->isChecked();
    view_->Form_Resize();
}

void frmWave::OptionColor_Click(int) {
    acquisition::ScopeState& slot = view_->slot();
    const bool wasColour = slot.ColorDisplay;
    slot.ColorDisplay = OptionColor[0]->isChecked();
    if (slot.ColorDisplay != wasColour) view_->applyIndicatorScheme();
    view_->Form_Resize();
}

void frmWave::BestFitChk_Click() {
    view_->slot().BestFit = BestFitChk->isChecked();
    ZoomCombo->setEnabled(!view_->slot().BestFit);
    // Leaving best fit keeps the picture as it is until another factor is chosen.
    if (view_->slot().BestFit) view_->Form_Resize();
}

// The zoom field's handler runs when the text changes, and lays out once more.
void frmWave::showBestFit(double scale) {
    ZoomCombo->setEnabled(false);
    ZoomCombo->setEditText(zoomText(scale));
}

void frmWave::ZoomCombo_Change() {
    if (const auto scale = zoomScale(ZoomCombo->currentText()))
        view_->ScreenScale = *scale;
    else
        message("Invalid Zoom Factor");
    ZoomCombo->setEditText(zoomText(view_->ScreenScale));
    view_->Form_Resize();
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

// The key lock goes out over the link that is connected, before the new one is chosen.
void frmWave::applyLinkOptions(const session::LinkOptions& options) {
    if (connected_) session().disconnect();
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
    uploading_ = state == State::Uploading;
    busy_ = uploading_ || state == State::Connecting;
    if (state == State::Connected || state == State::Disconnected) {
        connected_ = state == State::Connected;
        view_->showConnected(connected_);
    }
    if (uploading_ && !progress_) {
        progress_ = std::make_unique<frmPrgress>(services_.host, services_.settings, this);
        progress_->setWindowTitle("Waveform Data Loading");
        progress_->setProgressValue(1);
        progress_->show();
    }
    if (!uploading_ && progress_) {
        progress_->uploadEnded();
        progress_.reset();
        resetRefreshButton();
    }
    if (closeRequested_ && !busy_) close();
}

void frmWave::repeatingChanged(bool on) {
    if (RefreshContinuouslyAction->isChecked() != on) RefreshContinuouslyAction->setChecked(on);
}

void frmWave::progressValue(double value) {
    if (progress_) progress_->setProgressValue(value);
}

void frmWave::progressStep(int step) {
    if (progress_) progress_->setProgressStep(step);
}

// The upload decides which traces stay ticked: the flags change first, so that the boxes' own
// handler, which undoes a click during an upload, keeps them. The parts nobody was told of are
// named once, after the picture.
void frmWave::uploaded(const session::Upload& upload) {
    if (upload.lost) return;
    acquisition::ScopeState& slot = view_->slot();
    const session::Sources& s = upload.sources;
    slot.ShowCh1 = s.ch1;
    slot.ShowCh2 = s.ch2;
    slot.ShowMath = s.math;
    slot.ShowLa = s.la;
    const std::array<bool, 4> ticked{s.ch1, s.ch2, s.math, s.la};
    for (int i = 0; i < 4; ++i) ChkCH[i]->setChecked(ticked[i]);
    view_->showUpload(upload.screen);
    if (upload.untold.empty()) return;
    std::string lines;
    for (const std::string& line : upload.untold) lines += (lines.empty() ? "" : "\r") + line;
    message(lines);
}

}  // namespace tracebay::mainwindow
