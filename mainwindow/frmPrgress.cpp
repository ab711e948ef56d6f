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

frmPrgress::frmPrgress(platform::HostServices& host, acquisition::Acquisition& acquisition,
                       platform::SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                         Qt::WindowCloseButtonHint),
      host_(host),
      acquisition_(acquisition),
      settings_(settings),
      ProgressBar1(new QProgressBar(this)),
      Timer1(host.createTimer()),
      Timer2(host.createTimer()) {
    setObjectName("frmPrgress");
    setWindowTitle("Progress");
    setFixedSize(twipsToPixels(WidthTwips), twipsToPixels(HeightTwips));
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, static_cast<int>(acquisition::Acquisition::ProgressMaximum));
    ProgressBar1->setGeometry(16, (height() - 22) / 2, width() - 32, 22);
    Timer1->setInterval(UploadDelayMs);
    Timer1->setHandler([this] { Timer1_Timer(); });
    Timer2->setInterval(AnimationMs);
    Timer2->setHandler([this] { Timer2_Timer(); });
    Form_Load();
}

frmPrgress::~frmPrgress() { Form_Unload(); }

void frmPrgress::Form_Load() {
    place();
    Timer2->setEnabled(false);
    Timer1->setEnabled(true);
    setProgressValue(0);
    acquisition_.TransferBusy = true;
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
    move(openingPlace(storedTwips(settings_, Keys::ProgressLeft),
                      storedTwips(settings_, Keys::ProgressTop),
                      screen ? screen->geometry().size() : QSize(1024, 768), size()));
}

void frmPrgress::Timer1_Timer() {
    Timer1->setEnabled(false);
    acquisition_.RunUpload();
    close();
}

void frmPrgress::Timer2_Timer() {
    const float maximum = static_cast<float>(ProgressBar1->maximum());
    setProgressValue(std::min(value_ + static_cast<float>(acquisition_.ProgressStep), maximum));
    ProgressBar1->repaint();
}

void frmPrgress::setProgressValue(double value) {
    value_ = static_cast<float>(value);
    ProgressBar1->setValue(static_cast<int>(std::lround(value_)));
    emit valueChanged(value_);
}

void frmPrgress::setAnimation(bool on) { Timer2->setEnabled(on); }

void frmPrgress::closeEvent(QCloseEvent* event) {
    if (acquisition_.TransferBusy) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmPrgress::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
    QApplication::restoreOverrideCursor();
    settings_.write(Keys::ProgressLeft, std::to_string(static_cast<int>(pixelsToTwips(x()))));
    settings_.write(Keys::ProgressTop, std::to_string(static_cast<int>(pixelsToTwips(y()))));
}

}  // namespace tracebay::mainwindow
