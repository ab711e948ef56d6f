#include "mainwindow/frmPrgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

using platform::pixelsToTwips;
using platform::twipsToPixels;

namespace Keys = platform::Settings;

constexpr int WidthTwips = 4800;
constexpr int HeightTwips = 1050;

int storedTwips(const platform::SettingsStore& settings, const platform::SettingKey& key) {
    if (const auto value = platform::settingToInt(settings.read(key))) return *value;
    return *platform::settingToInt(key.defaultValue);
}

}  // namespace

frmPrgress::frmPrgress(platform::HostServices& host, QPoint& placeTwips, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                         Qt::WindowCloseButtonHint),
      placeTwips_(placeTwips),
      ProgressBar1(new QProgressBar(this)),
      Timer2(host.createTimer()) {
    setObjectName("frmPrgress");
    setWindowTitle("Progress");
    setFixedSize(twipsToPixels(WidthTwips), twipsToPixels(HeightTwips));
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, static_cast<int>(ProgressMaximum));
    ProgressBar1->setGeometry(16, (height() - 22) / 2, width() - 32, 22);
    Timer2->setInterval(AnimationMs);
    Timer2->setHandler([this] { Timer2_Timer(); });
    Form_Load();
}

frmPrgress::~frmPrgress() { Form_Unload(); }

void frmPrgress::Form_Load() {
    place();
    Timer2->setEnabled(false);
    setProgressValue(0);
    QApplication::setOverrideCursor(Qt::BusyCursor);
}

QPoint frmPrgress::openingPlace(int left, int top, QSize screen, QSize size) {
    if (left > pixelsToTwips(screen.width()) || left < -pixelsToTwips(size.width()))
        left = FallbackLeftTwips;
    if (top > pixelsToTwips(screen.height()) || top < -pixelsToTwips(size.height()))
        top = FallbackTopTwips;
    return {twipsToPixels(left), twipsToPixels(top)};
}

// The stored place, unless it lies off the screen.
void frmPrgress::place() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(openingPlace(placeTwips_.x(), placeTwips_.y(),
                      screen ? screen->geometry().size() : QSize(1024, 768), size()));
}

void frmPrgress::uploadEnded() {
    uploading_ = false;
    close();
}

void frmPrgress::Timer2_Timer() {
    const float maximum = static_cast<float>(ProgressBar1->maximum());
    setProgressValue(std::min(value_ + static_cast<float>(ProgressStep), maximum));
    ProgressBar1->repaint();
}

void frmPrgress::setProgressValue(double value) {
    value_ = static_cast<float>(value);
    ProgressBar1->setValue(static_cast<int>(std::lround(value_)));
    emit valueChanged(value_);
}

// The animation runs while a block is awaited, with the step of the trace awaited.
void frmPrgress::setProgressStep(int step) {
    if (step > 0) ProgressStep = step;
    Timer2->setEnabled(step > 0);
}

void frmPrgress::closeEvent(QCloseEvent* event) {
    if (uploading_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmPrgress::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer2->setEnabled(false);
    QApplication::restoreOverrideCursor();
    placeTwips_ = {static_cast<int>(pixelsToTwips(x())), static_cast<int>(pixelsToTwips(y()))};
}

UploadProgress::UploadProgress(platform::HostServices& host,
                               const platform::SettingsStore& settings, QWidget& owner)
    : host_(host),
      owner_(owner),
      placeTwips_(storedTwips(settings, Keys::ProgressLeft),
                  storedTwips(settings, Keys::ProgressTop)) {}

void UploadProgress::save(platform::SettingsStore& settings) const {
    settings.write(Keys::ProgressLeft, std::to_string(placeTwips_.x()));
    settings.write(Keys::ProgressTop, std::to_string(placeTwips_.y()));
}

void UploadProgress::started() {
    if (window_) return;
    window_ = std::make_unique<frmPrgress>(host_, placeTwips_, &owner_);
    window_->setWindowTitle("Waveform Data Loading");
    window_->setProgressValue(1);
    window_->show();
}

void UploadProgress::ended() {
    if (!window_) return;
    window_->uploadEnded();
    window_.reset();
}

void UploadProgress::setProgressValue(double value) {
    if (window_) window_->setProgressValue(value);
}

void UploadProgress::setProgressStep(int step) {
    if (window_) window_->setProgressStep(step);
}

}  // namespace tracebay::mainwindow
