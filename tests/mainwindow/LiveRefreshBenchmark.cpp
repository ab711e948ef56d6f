// Continuous refresh of the desktop program against the simulated instrument with every trace
// ticked, over RS232 (a pseudo-terminal, 9600 baud pacing) and over USB (the link library's own
// code with the simulated device behind it), the session on its thread as in the program:
// - the upload rate, and how close it comes to the protocol's minimum: the sum of the pauses an
//   upload is made of (pacing, command pauses, the pauses before and after), measured on the
//   virtual clock, as if every reply came the instant it was asked for;
// - the longest stall of the window's event loop, seen by a 5 ms probe timer;
// - the time from a view change (the grid switched) to the painted frame;
// - the resident memory that 100 uploads of every trace in the window's history add.
// Usage: build/tests/mainwindow/live_refresh_benchmark [SECONDS]

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "mainwindow/ShownUploads.h"
#include "mainwindow/WavePicture.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/frmPrgress.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "session/SessionThread.h"
#include "sim/Presets.h"
#include "sim/PtyServer.h"
#include "sim/SerialFace.h"
#include "sim/StopRequest.h"
#include "sim/UsbtmcDevice.h"
#include "tests/support/FakeUsbLibrary.h"
#include "tests/support/SessionRig.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace {

using namespace tracebay;
using session::State;

// The pauses of one upload of every trace as the window asks for it, on the virtual clock.
double protocolMinimumMs(testing::Transport transport) {
    testing::SessionRig rig(transport, "logic");
    rig.connect();
    rig.host.clearRecords();
    rig.session().refresh({true, true, true, true}, mainwindow::frmPrgress::UploadDelayMs);
    const auto& sleeps = rig.host.sleeps();
    return std::accumulate(sleeps.begin(), sleeps.end(), 0.0);
}

struct Figures {
    double uploadsPerSecond = 0;
    double longestStallMs = 0;
    double medianPaintMs = 0;
    double worstPaintMs = 0;
    double historyGrowthMb = 0;  // resident memory 100 more uploads in the history take
    double historyMb = 0;        // what the history counts them as
};

double residentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}

// The upload shown, arriving 100 times more: the history then holds 100 of them.
void fillHistory(mainwindow::frmWave& window, Figures& figures) {
    const acquisition::ScopeState shown = window.view().slot();
    const double before = residentMb();
    for (int i = 0; i < 100; ++i)
        window.view().showUpload(std::make_shared<const acquisition::ScopeState>(shown));
    figures.historyGrowthMb = residentMb() - before;
    figures.historyMb = static_cast<double>(window.shownUploads().history().bytes()) / 1e6;
}

// The first paint of the picture after each view change.
class PaintWatch : public QObject {
public:
    void changed() { since_.start(); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && since_.isValid()) {
            delays.push_back(static_cast<double>(since_.nsecsElapsed()) / 1e6);
            since_.invalidate();
        }
        return QObject::eventFilter(watched, event);
    }
    std::vector<double> delays;

private:
    QElapsedTimer since_;
};

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// When the instrument was asked for the last block of an upload.
class UploadTimes {
public:
    void note() {
        std::lock_guard lock(mutex_);
        times_.push_back(std::chrono::steady_clock::now());
    }
    void clear() {
        std::lock_guard lock(mutex_);
        times_.clear();
    }
    // Uploads per second from the first to the last one seen.
    double rate() const {
        std::lock_guard lock(mutex_);
        if (times_.size() < 2) return 0;
        const std::chrono::duration<double> span = times_.back() - times_.front();
        return static_cast<double>(times_.size() - 1) / span.count();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::steady_clock::time_point> times_;
};

constexpr const char* LastBlock = ":WAVEFORM:DATA? DIGITAL";

Figures measure(std::function<session::Wires()> wires, const std::string& serialDevice,
                UploadTimes& uploads, int seconds) {
    QTemporaryDir folder;
    QSettings qsettings(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    for (const char* flag : {"IsDispCH1Wave", "IsDispCH2Wave", "IsDispMathWave", "IsDispLAWave"})
        qsettings.setValue(QString("Kavlo TraceBay Disp Wave/") + flag, "True");
    qsettings.setValue("Kavlo TraceBay IO Settings/ScopeIOType", serialDevice.empty() ? "0" : "2");
    qsettings.setValue("Kavlo TraceBay IO Settings/SerialDevice",
                       QString::fromStdString(serialDevice));
    platform::SettingsStore settings(qsettings);
    platform::QtHost host;
    mainwindow::frmWave window({host, settings, [&](session::SessionObserver& observer) {
                                    return std::make_unique<session::SessionThread>(wires, host,
                                                                                    observer);
                                }});
    window.show();
    runFor(50);
    window.findChild<QPushButton*>("FlatBtnUpload_0")->click();
    for (int i = 0; i < 200 && window.session().state() != State::Connected; ++i) runFor(10);
    if (window.session().state() != State::Connected) return {};

    Figures figures;
    QElapsedTimer sinceProbe;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (sinceProbe.isValid())
            figures.longestStallMs =
                std::max(figures.longestStallMs, sinceProbe.nsecsElapsed() / 1e6 - 5);
        sinceProbe.start();
    });
    probe.start(5);
    PaintWatch paints;
    window.findChild<mainwindow::WavePicture*>()->installEventFilter(&paints);
    auto* grid = window.findChild<QCheckBox*>("GridCheck");
    QTimer changes;
    QObject::connect(&changes, &QTimer::timeout, [&] {
        paints.changed();
        grid->toggle();
    });
    uploads.clear();
    window.findChild<QAction*>("RefreshContinuously")->trigger();
    changes.start(97);
    runFor(seconds * 1000);
    changes.stop();
    figures.uploadsPerSecond = uploads.rate();
    window.findChild<QAction*>("RefreshContinuously")->setChecked(false);
    while (window.session().state() == State::Uploading) runFor(10);
    std::sort(paints.delays.begin(), paints.delays.end());
    if (!paints.delays.empty()) {
        figures.medianPaintMs = paints.delays[paints.delays.size() / 2];
        figures.worstPaintMs = paints.delays.back();
    }
    fillHistory(window, figures);
    window.close();
    return figures;
}

void report(const char* link, const Figures& f, double minimumMs) {
    std::printf(
        "%s: %.3f uploads per second, %.3f of the protocol's %.3f (%.0f ms an upload); "
        "longest stall %.1f ms; view change painted after %.1f ms median, %.1f ms at worst; "
        "100 uploads in the history: %.1f MB resident more, %.1f MB as the history counts\n",
        link, f.uploadsPerSecond, f.uploadsPerSecond * minimumMs / 1000, 1000 / minimumMs,
        minimumMs, f.longestStallMs, f.medianPaintMs, f.worstPaintMs, f.historyGrowthMb,
        f.historyMb);
}

// The simulated instrument on a pseudo-terminal, counting the uploads it serves.
struct SerialInstrument {
    SerialInstrument() {
        face.onCommand = [this](const std::string& command) {
            if (command == LastBlock) uploads.note();
        };
    }
    ~SerialInstrument() {
        stop.request();
        thread.join();
    }
    UploadTimes uploads;
    sim::Instrument instrument{sim::Identity{}, *sim::presetState("logic")};
    sim::Faults faults;
    sim::SerialFace face{instrument, faults};
    sim::PtyServer server{face};
    sim::StopRequest stop;
    std::thread thread{[this] { server.serve(stop); }};
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 20;
    {
        SerialInstrument simulator;
        const auto serial = [] {
            return session::Wires{std::make_unique<platform::QtSerialPortControl>(),
                                  std::make_unique<testing::FakeUsbLibrary>(), nullptr};
        };
        report("RS232", measure(serial, simulator.server.devicePath(), simulator.uploads, seconds),
               protocolMinimumMs(testing::Transport::Serial));
    }
    sim::Instrument instrument(sim::Identity{}, *sim::presetState("logic"));
    sim::Faults faults;
    sim::UsbtmcDevice device(instrument, faults);
    UploadTimes uploads;
    device.onCommand = [&uploads](const std::string& command) {
        if (command == LastBlock) uploads.note();
    };
    const auto usb = [&device] {
        return session::Wires{std::make_unique<platform::QtSerialPortControl>(),
                              std::make_unique<testing::SimulatedUsbLibrary>(device), nullptr};
    };
    report("USB", measure(usb, "", uploads, seconds), protocolMinimumMs(testing::Transport::Usb));
}
