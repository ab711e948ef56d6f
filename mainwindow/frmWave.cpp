#include "mainwindow/frmWave.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

#include "acquisition/Commands.h"
#include "display/Repaint.h"
#include "link/ReplyFailure.h"
#include "mainwindow/ConnectionLed.h"
#include "mainwindow/FlatButton.h"
#include "mainwindow/Icons.h"
#include "mainwindow/Layout.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/ProgramSettings.h"
#include "mainwindow/WavePicture.h"
#include "mainwindow/ZoomText.h"
#include "mainwindow/frmPrgress.h"
#include "options/frmOption.h"
#include "panel/frmV_Key.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

using platform::toPixels;
using platform::twipsToPixels;

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

// The upload reports its progress to whichever progress window is open.
class frmWave::ProgressRelay : public acquisition::ProgressView {
public:
    void setProgressValue(double value) override {
        if (window) window->setProgressValue(value);
    }
    void setAnimation(bool on) override {
        if (window) window->setAnimation(on);
    }
    frmPrgress* window = nullptr;
};

frmWave::frmWave(ProgramServices services, StartOptions options, QWidget* parent)
    : QWidget(parent),
      services_(services),
      start_(std::move(options)),
      channel_(services.host, services.port, services.usb),
      connection_(channel_, *this),
      progress_(std::make_unique<ProgressRelay>()),
      acquisition_(channel_, connection_, states_, *this, *progress_),
      Timer1(services.host.createTimer()),
      LiveTimer(services.host.createTimer()) {
    setupWindow();
    setupRefreshColumn();
    setupDisplayFrame();
    setupUploadFrame();
    setupViewport();
    connectHandlers();
    new PictureSharing(*this, services_);
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

void frmWave::setupViewport() {
    BackPic = new QFrame(this);
    BackPic->setObjectName("BackPic");
    BackPic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BackPic->setLineWidth(Layout::BackPicBorder);
    BackPic->setAutoFillBackground(true);
    QPalette black = BackPic->palette();
    black.setColor(QPalette::Window, Qt::black);
    BackPic->setPalette(black);
    viewport_ = new QWidget(BackPic);
    WavePic = new WavePicture(viewport_);
    WavePic->setObjectName("WavePic");
    WavePic->setToolTip("Right-click (or the Menu key) for what can be done with the picture");
    PictureMenu = new QMenu(this);
    PictureMenu->setObjectName("PictureMenu");
    picLED_ON = new ConnectionLed(viewport_, "picLED_ON", "Label2", "Connect",
                                  "Connection Status-[Connected]", true);
    picLED_OFF = new ConnectionLed(viewport_, "picLED_OFF", "Label1", "DisConnect",
                                   "Connection Status-[Disconnected]", false);
    HScroll = new QScrollBar(Qt::Horizontal, this);
    VScroll = new QScrollBar(Qt::Vertical, this);
    HScroll->setObjectName("HScroll");
    VScroll->setObjectName("VScroll");
    for (QScrollBar* bar : {HScroll, VScroll}) {
        bar->setRange(0, 100);
        bar->setSingleStep(1);
        // A drag reports its place as it goes (scroll) and its value at the end (change).
        bar->setTracking(false);
        bar->hide();
    }
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
    connect(HScroll, &QScrollBar::valueChanged, this, &frmWave::HScroll_Change);
    connect(HScroll, &QScrollBar::sliderMoved, this, &frmWave::HScroll_Scroll);
    connect(VScroll, &QScrollBar::valueChanged, this, &frmWave::VScroll_Change);
    connect(VScroll, &QScrollBar::sliderMoved, this, &frmWave::VScroll_Scroll);
    auto* upload = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) upload->addButton(FlatBtnUpload[i], i);
    connect(upload, &QButtonGroup::idClicked, this, &frmWave::FlatBtnUpload_Click);
}

// The cursors and the repeated upload, offered in the picture's menu.
void frmWave::setupMeasuring() {
    PictureMenu->addSeparator();
    TimeCursorsAction = checkableAction("TimeCursors", "Time cursors", QKeySequence(Qt::Key_T));
    VoltCursorsAction = checkableAction("VoltCursors", "Voltage cursors", QKeySequence(Qt::Key_V));
    RefreshContinuouslyAction = checkableAction("RefreshContinuously", "Refresh continuously",
                                                QKeySequence(Qt::CTRL | Qt::Key_F5));
    connect(TimeCursorsAction, &QAction::toggled, this, &frmWave::TimeCursors_Toggled);
    connect(VoltCursorsAction, &QAction::toggled, this, &frmWave::VoltCursors_Toggled);
    connect(RefreshContinuouslyAction, &QAction::toggled, this,
            &frmWave::RefreshContinuously_Toggled);
    WavePic->setMouseTracking(true);
    WavePic->installEventFilter(this);
    LiveTimer->setInterval(1);
    LiveTimer->setHandler([this] { LiveTimer_Timer(); });
}

QAction* frmWave::checkableAction(const char* name, const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setShortcut(key);
    addPictureAction(action);
    return action;
}

void frmWave::Form_Load() {
    InitPending = true;
    MainLoadInit();
    Timer1->setInterval(StartTimerMs);
    Timer1->setEnabled(true);
    ScreenScale = 1.0;
    ZoomCombo->clear();
    ZoomCombo->addItems(ZoomFactors);
    ZoomCombo->setCurrentIndex(InitialZoomIndex);
    slot().BestFit = slot().ColorDisplay = slot().GridVisible = true;
    applyIndicatorScheme();
    cursors_ = display::Cursors{};
    for (QCheckBox* box : ChkCH) box->setEnabled(true);
    const std::array<bool, 4> shown{slot().ShowCh1, slot().ShowCh2, slot().ShowMath, slot().ShowLa};
    for (int i = 0; i < 4; ++i) ChkCH[i]->setChecked(shown[i]);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

// The program's state at start: not connected, no transfer, the settings of the last run.
void frmWave::MainLoadInit() {
    acquisition_.TransferBusy = false;
    connection_.ScopeConnected = false;
    picLED_ON->hide();
    picLED_OFF->show();
    // What a value that cannot be read leaves behind.
    channel_.serial().settings().ComPort = 0;
    gpibAddress_ = 0;
    LoadSettings(services_.settings, {channel_, slot(), gpibAddress_});
    if (!start_.simulatorDevice.empty()) {
        channel_.IoType = link::CommandChannel::IoTypeSerial;
        channel_.serial().settings().DevicePath = start_.simulatorDevice;
    }
    slot().CapturedCh1 = slot().CapturedCh2 = slot().CapturedMath = slot().CapturedLa = false;
}

// Start-up ends once the window is on screen: the view flags go into the controls and the empty
// screen is painted.
void frmWave::Timer1_Timer() {
    if (!InitPending) return;
    Timer1->setInterval(IdleTimerMs);
    InitPending = false;
    slot().ViewApplied = true;
    applyViewFlags();
    Form_Resize();
    setFocus();
}

void frmWave::applyViewFlags() {
    BestFitChk->setChecked(slot().BestFit);
    ZoomCombo->setEnabled(!slot().BestFit);
    GridCheck->setChecked(slot().GridVisible);
    OptionColor[slot().ColorDisplay ? 0 : 1]->setChecked(true);
}

void frmWave::applyIndicatorScheme() {
    picLED_ON->setScheme(slot().ColorDisplay);
    picLED_OFF->setScheme(slot().ColorDisplay);
}

void frmWave::resizeEvent(QResizeEvent*) { Form_Resize(); }

void frmWave::Form_Resize() {
    placeViewport();
    if (!InitPending) {
        if (slot().BestFit)
            fitToViewport();
        else
            placeScrollBars();
    }
    placeIndicators();
    if (!InitPending) repaintPicture();
}

void frmWave::placeViewport() {
    WavePic->move(0, 0);
    if (const auto place = Layout::backPicGeometry(size())) BackPic->setGeometry(*place);
    const int border = Layout::BackPicBorder;
    viewport_->setGeometry(
        QRect(QPoint(border, border), Layout::viewportSize(BackPic->geometry())));
}

void frmWave::fitToViewport() {
    HScroll->hide();
    VScroll->hide();
    const double fit = Layout::bestFitScale(viewport_->size());
    ScreenScale = fit;
    ZoomCombo->setEnabled(false);
    // The zoom field's handler runs when the text changes, and lays out once more.
    ZoomCombo->setEditText(zoomText(fit));
    ScreenScale = fit;
    WavePic->resize(Layout::wavePicSize(fit));
}

void frmWave::placeScrollBars() {
    WavePic->resize(Layout::wavePicSize(ScreenScale));
    const Layout::ScrollBars bars = Layout::scrollBars(BackPic->geometry(), WavePic->size());
    const auto apply = [](QScrollBar* bar, const Layout::ScrollBar& place, int& span) {
        if (!place.visible) {
            bar->hide();
            return;
        }
        bar->setGeometry(place.geometry);
        span = place.span;
        bar->setPageStep(place.pageStep);
        bar->setSingleStep(1);
        bar->show();
        bar->raise();
    };
    apply(HScroll, bars.horizontal, HScrollSpan);
    apply(VScroll, bars.vertical, VScrollSpan);
}

void frmWave::placeIndicators() {
    for (ConnectionLed* led : {picLED_ON, picLED_OFF}) {
        led->move(Layout::indicatorPlace(WavePic->pos(), ScreenScale, led->size()));
        led->raise();
    }
}

void frmWave::repaintPicture() {
    display::Repaint(WavePic->surface(), display::Screen{ScreenScale}, slot(), cursors_, overlay_);
    WavePic->update();
}

void frmWave::keyPressEvent(QKeyEvent* event) {
    // F5 belongs to the window itself, not to a control that has the focus.
    const bool windowHasFocus = !focusWidget() || focusWidget() == this;
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier && windowHasFocus) {
        cmdRefresh_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmWave::addPictureAction(QAction* action) {
    PictureMenu->addAction(action);
    addAction(action);
}

// A right click on the picture, or the Menu key, opens the picture's menu.
void frmWave::contextMenuEvent(QContextMenuEvent* event) {
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint onPicture = WavePic->mapFromGlobal(event->globalPos());
    if (!keyboard && !WavePic->rect().contains(onPicture)) return;
    if (PictureMenu->isEmpty()) return;
    PictureMenu->popup(keyboard ? WavePic->mapToGlobal(QPoint(25, 25)) : event->globalPos());
}

// While the instrument is being identified the window cannot close either: the connect would
// go on talking to a closed port after the window had gone.
void frmWave::closeEvent(QCloseEvent* event) {
    if (acquisition_.TransferBusy || connecting_) {
        event->ignore();
        return;
    }
    closeProgram();
    event->accept();
}

void frmWave::closeProgram() {
    slot().ViewApplied = false;
    overlay_.DeleteBackBuffer();
    SaveSettings(services_.settings, {channel_, slot(), gpibAddress_},
                 start_.simulatorDevice.empty());
    if (const std::string why = services_.settings.sync(); !why.empty())
        message("The settings could not be saved in \"" + services_.settings.fileName() +
                "\": " + why);
    if (connection_.ScopeConnected) channel_.SendCommand(acquisition::QM1000Cmd::keyLockEnable());
    Timer1->setEnabled(false);
    LiveTimer->setEnabled(false);
    if (services_.port.PortOpen()) channel_.serial().closePort();
}

void frmWave::cmdRefresh_Click() {
    // While uploads repeat, the button stops them after the upload in progress.
    if (RefreshContinuouslyAction->isChecked()) {
        RefreshContinuouslyAction->setChecked(false);
        return;
    }
    if (!acquisition_.TransferBusy) {
        if (!connection_.ScopeConnected) {
            message(PleaseConnect);
        } else {
            cmdRefresh->setEnabled(false);
            LoadData();
        }
    }
    resetRefreshButton();
}

void frmWave::RefreshContinuously_Toggled(bool on) {
    if (!on) {
        LiveTimer->setEnabled(false);
        resetRefreshButton();
        return;
    }
    cmdRefresh->setIcon(Icons::stop());
    cmdRefresh->setEnabled(true);
    LiveTimer->setEnabled(true);
}

// One upload of the repetition, exactly as a press of Refresh runs it; the next follows at
// once unless this one failed or the repetition was switched off meanwhile.
void frmWave::LiveTimer_Timer() {
    LiveTimer->setEnabled(false);
    if (!RefreshContinuouslyAction->isChecked() || acquisition_.TransferBusy) return;
    if (!connection_.ScopeConnected) {
        RefreshContinuouslyAction->setChecked(false);
        message(PleaseConnect);
        return;
    }
    LoadData();
    if (uploadFailed())
        RefreshContinuouslyAction->setChecked(false);
    else if (RefreshContinuouslyAction->isChecked())
        LiveTimer->setEnabled(true);
}

// An upload fails when the connection ended or a part of it did not come. The USB client and a
// lost serial port say so where it happens; a serial block that did not come is silent, so the
// repetition says which parts it missed as it stops.
bool frmWave::uploadFailed() {
    if (!connection_.ScopeConnected) return true;
    std::string silent;
    bool failed = false;
    for (const acquisition::UploadPart& part : slot().Parts) {
        if (part.arrived()) continue;
        failed = true;
        if (channel_.usesSerial() && part.failure != link::failure::PortClosed)
            silent += (silent.empty() ? "" : "\r") + part.shortfall();
    }
    if (!silent.empty()) message(silent);
    return failed;
}

void frmWave::resetRefreshButton() {
    cmdRefresh->setIcon(Icons::refresh());
    cmdRefresh->setEnabled(true);
}

void frmWave::LoadData() {
    acquisition::ScopeState& s = slot();
    if (!(s.ShowCh1 || s.ShowCh2 || s.ShowMath || s.ShowLa)) return;
    acquisition_.TransferDone = false;
    frmPrgress progress(services_.host, acquisition_, services_.settings, this);
    progress.setWindowTitle("Waveform Data Loading");
    progress.setProgressValue(1);
    progress.show();
    progress_->window = &progress;
    while (!acquisition_.TransferDone) services_.host.processEvents();
    progress_->window = nullptr;
    s.HasData = true;
    Form_Resize();
}

void frmWave::ChkCH_Click(int index) {
    acquisition::ScopeState& s = slot();
    const std::array<bool*, 4> flags{&s.ShowCh1, &s.ShowCh2, &s.ShowMath, &s.ShowLa};
    QCheckBox* box = ChkCH[index];
    // A choice made while an upload runs is undone: the upload decides what it fetches.
    if (acquisition_.TransferBusy) {
        box->setChecked(*flags[index]);
        return;
    }
    *flags[index] = box->isChecked() && box->isEnabled();
}

void frmWave::GridCheck_Click() {
    slot().GridVisible = GridCheck->isChecked();
    Form_Resize();
}

void frmWave::OptionColor_Click(int) {
    const bool wasColour = slot().ColorDisplay;
    slot().ColorDisplay = OptionColor[0]->isChecked();
    if (slot().ColorDisplay != wasColour) applyIndicatorScheme();
    Form_Resize();
}

void frmWave::BestFitChk_Click() {
    slot().BestFit = BestFitChk->isChecked();
    ZoomCombo->setEnabled(!slot().BestFit);
    // Leaving best fit keeps the picture as it is until another factor is chosen.
    if (slot().BestFit) Form_Resize();
}

void frmWave::ZoomCombo_Change() {
    if (const auto scale = zoomScale(ZoomCombo->currentText()))
        ScreenScale = *scale;
    else
        message("Invalid Zoom Factor");
    ZoomCombo->setEditText(zoomText(ScreenScale));
    Form_Resize();
}

void frmWave::HScroll_Change() {
    HScroll_Scroll();
    indicatorsFollowThePicture();
}

// After a scroll the indicators move with the picture, as the layout pass places them.
void frmWave::indicatorsFollowThePicture() {
    placeIndicators();
    picLED_ON->update();
    picLED_OFF->update();
}

void frmWave::HScroll_Scroll() {
    WavePic->move(Layout::scrolledOffset(HScroll->sliderPosition(), HScrollSpan), WavePic->y());
}

void frmWave::VScroll_Change() {
    VScroll_Scroll();
    indicatorsFollowThePicture();
}

void frmWave::VScroll_Scroll() {
    WavePic->move(WavePic->x(), Layout::scrolledOffset(VScroll->sliderPosition(), VScrollSpan));
}

void frmWave::FlatBtnUpload_Click(int index) {
    switch (index) {
        case 0: connectInstrument(); break;
        case 1: connection_.DisconnectScope(); break;
        case 2: showOptions(); break;
        case 3: showPanel(); break;
        default: break;
    }
}

void frmWave::connectInstrument() {
    connecting_ = true;
    connection_.ConnectScope();
    connecting_ = false;
}

void frmWave::showOptions() {
    link::SerialSettings& serial = channel_.serial().settings();
    options::frmOption dialog({channel_.IoType, serial.ComPort, serial.BaudRate, serial.DevicePath},
                              options::systemSerialPorts(), this);
    // Opening the dialog puts a port number it does not know back to COM1.
    serial.ComPort = dialog.values().ComPort;
    if (services_.host.runModal(dialog) != QDialog::Accepted) return;
    // The key lock goes out over the link that is connected, before the new one is chosen.
    if (connection_.ScopeConnected) connection_.DisconnectScope();
    const options::IoOptions chosen = dialog.values();
    channel_.IoType = chosen.IoType;
    serial.ComPort = chosen.ComPort;
    serial.BaudRate = chosen.BaudRate;
    serial.DevicePath = chosen.SerialDevice;
}

void frmWave::showPanel() {
    if (!connection_.ScopeConnected) {
        message(PleaseConnect);
        return;
    }
    panel::frmV_Key panel(services_.host, channel_, this);
    services_.host.runModal(panel);
}

void frmWave::TimeCursors_Toggled(bool on) {
    cursors_.TimeCursorsOn = on;
    Form_Resize();
}

void frmWave::VoltCursors_Toggled(bool on) {
    cursors_.VoltCursorsOn = on;
    Form_Resize();
}

bool frmWave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WavePic) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                pictureMousePress(static_cast<QMouseEvent*>(event));
                break;
            case QEvent::MouseButtonRelease: grab_ = {}; break;
            case QEvent::MouseMove: pictureMouseMove(static_cast<QMouseEvent*>(event)); break;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Any button but the right one, which opens the picture's menu, takes hold of the cursors.
void frmWave::pictureMousePress(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) return;
    grab_ = CursorDrag::grabAt(cursors_, event->position().toPoint());
}

void frmWave::pictureMouseMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    CursorDrag::Pointer pointer = CursorDrag::drag(cursors_, grab_, at);
    if (pointer != CursorDrag::Pointer::Default)
        Form_Resize();
    else
        pointer = CursorDrag::hover(cursors_, at, ScreenScale);
    switch (pointer) {
        case CursorDrag::Pointer::SizeWestEast: WavePic->setCursor(Qt::SizeHorCursor); break;
        case CursorDrag::Pointer::SizeNorthSouth: WavePic->setCursor(Qt::SizeVerCursor); break;
        case CursorDrag::Pointer::Default: WavePic->unsetCursor(); break;
    }
}

void frmWave::message(const std::string& text) {
    services_.host.showMessage(text, Title, platform::MessageIcon::Exclamation);
}

void frmWave::showConnected(bool connected) {
    picLED_ON->setVisible(connected);
    picLED_OFF->setVisible(!connected);
}

void frmWave::setTraceChecked(int index, bool checked) { ChkCH[index]->setChecked(checked); }

}  // namespace tracebay::mainwindow
