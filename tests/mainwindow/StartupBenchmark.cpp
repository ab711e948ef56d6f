// Start-up time of the desktop program: from creating the application to the first painted frame
// of the main window's screen picture, offscreen. One measurement per run, in milliseconds; run
// it a few times: for i in $(seq 10); do build/tests/mainwindow/startup_benchmark; done

#include <QApplication>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#include "mainwindow/WavePicture.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "session/SessionThread.h"

namespace {

using Clock = std::chrono::steady_clock;

// Ends the run at the first paint of the picture once start-up has finished.
class FirstFrame : public QObject {
public:
    FirstFrame(tracebay::mainwindow::frmWave& window, Clock::time_point began)
        : window_(window), began_(began) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !window_.view().InitPending() && !done_) {
            done_ = true;
            const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - began_);
            std::printf("first frame after %.1f ms\n", elapsed.count());
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    tracebay::mainwindow::frmWave& window_;
    Clock::time_point began_;
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tracebay;
    const Clock::time_point began = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QSettings qsettings(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    platform::SettingsStore settings(qsettings);
    platform::QtHost host;
    mainwindow::frmWave window({host, settings, [&host](session::SessionObserver& observer) {
                                    return std::make_unique<session::SessionThread>(
                                        session::systemWires, host, observer);
                                }});
    FirstFrame watch(window, began);
    window.findChild<mainwindow::WavePicture*>()->installEventFilter(&watch);
    window.show();
    return QApplication::exec();
}
