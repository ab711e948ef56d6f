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

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "mainwindow/ShownUploads.h"
#include "mainwindow/WavePicture.h"
#include "mainwindow/WaveView.h"
#include "platform/QtSerialPortControl.h"
#include "sim/Presets.h"
#include "sim/PtyServer.h"
#include "sim/SerialFace.h"
#include "sim/StopRequest.h"
#include "sim/UsbtmcDevice.h"
#include "tests/mainwindow/LiveWindow.h"
#include "tests/support/FakeUsbLibrary.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace {

using namespace tracebay;
using benchmark::LastBlock;
using benchmark::UploadTimes;

const session::Sources EveryTrace{true, true, true, true};

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

Figures measure(std::function<session::Wires()> wires, const std::string& serialDevice,
                UploadTimes& uploads, int seconds) {
    benchmark::LiveWindow live(
        std::move(wires),
        {{"Kavlo TraceBay Disp Wave/IsDispCH1Wave", "True"},
         {"Kavlo TraceBay Disp Wave/IsDispCH2Wave", "True"},
         {"Kavlo TraceBay Disp Wave/IsDispMathWave", "True"},
         {"Kavlo TraceBay Disp Wave/IsDispLAWave", "True"},
         {"Kavlo TraceBay IO Settings/ScopeIOType", serialDevice.empty() ? "0" : "2"},
         {"Kavlo TraceBay IO Settings/SerialDevice", QString::fromStdString(serialDevice)}});
    if (!live.connect()) return {};

    Figures figures;
    const benchmark::StallProbe stalls;
    PaintWatch paints;
    live.window().findChild<mainwindow::WavePicture*>()->installEventFilter(&paints);
    auto* grid = live.window().findChild<QCheckBox*>("GridCheck");
    QTimer changes;
    QObject::connect(&changes, &QTimer::timeout, [&] {
        paints.changed();
        grid->toggle();
    });
    uploads.clear();
    live.refreshContinuously();
    changes.start(97);
    benchmark::runFor(seconds * 1000);
    changes.stop();
    figures.uploadsPerSecond = uploads.rate();
    figures.longestStallMs = stalls.longestMs();
    live.stopRefreshing();
    std::sort(paints.delays.begin(), paints.delays.end());
    if (!paints.delays.empty()) {
        figures.medianPaintMs = paints.delays[paints.delays.size() / 2];
        figures.worstPaintMs = paints.delays.back();
    }
    fillHistory(live.window(), figures);
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
               benchmark::protocolMinimumMs(testing::Transport::Serial, "logic", EveryTrace));
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
    report("USB", measure(usb, "", uploads, seconds),
           benchmark::protocolMinimumMs(testing::Transport::Usb, "logic", EveryTrace));
}
