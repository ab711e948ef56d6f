// Continuous refresh of the desktop program with protocol decoders set, against the simulator's
// serial preset over USB (the link library's own code with the simulated device behind it), CH1
// and the logic lines ticked, the session on its thread as in the program: the upload rate
// against the protocol's minimum (the sum of the pauses an upload is made of, on the virtual
// clock), with the UART, I2C and SPI decoders set and without any, how many of the uploads
// shown were decoded, and the longest stall of the window's event loop.
// Goal: with decoders, 0.97 of the protocol's rate or more.
// Usage: build/tests/mainwindow/decode_live_benchmark [SECONDS]

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <numeric>
#include <string>
#include <vector>

#include "decode/Decoding.h"
#include "mainwindow/UploadDecoders.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/frmPrgress.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "session/SessionThread.h"
#include "sim/Presets.h"
#include "sim/UsbtmcDevice.h"
#include "tests/support/SessionRig.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace {

using namespace tracebay;
using session::State;

constexpr const char* Preset = "serial";
constexpr const char* LastBlock = ":WAVEFORM:DATA? DIGITAL";
const session::Sources Ticked{true, false, false, true};
const char* const Decoders =
    "uart:rx=D0:baudrate=9600\nuart:rx=CH1:baudrate=9600\n"
    "i2c:scl=D1:sda=D2,eeprom24xx\nspi:clk=D3:mosi=D4:cs=D5";

double protocolMinimumMs() {
    testing::SessionRig rig(testing::Transport::Usb, Preset);
    rig.connect();
    rig.host.clearRecords();
    rig.session().refresh(Ticked, mainwindow::frmPrgress::UploadDelayMs);
    const auto& sleeps = rig.host.sleeps();
    return std::accumulate(sleeps.begin(), sleeps.end(), 0.0);
}

void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// When the instrument was asked for the last block of an upload.
class UploadTimes {
public:
    void note() {
        const std::lock_guard lock(mutex_);
        times_.push_back(std::chrono::steady_clock::now());
    }
    size_t count() const {
        const std::lock_guard lock(mutex_);
        return times_.size();
    }
    double rate() const {
        const std::lock_guard lock(mutex_);
        if (times_.size() < 2) return 0;
        const std::chrono::duration<double> span = times_.back() - times_.front();
        return static_cast<double>(times_.size() - 1) / span.count();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::steady_clock::time_point> times_;
};

struct Figures {
    double uploadsPerSecond = 0;
    size_t uploads = 0;
    int decoded = 0;
    double longestStallMs = 0;
};

Figures measure(const char* decoders, int seconds) {
    sim::Instrument instrument(sim::Identity{}, *sim::presetState(Preset));
    sim::Faults faults;
    sim::UsbtmcDevice device(instrument, faults);
    UploadTimes uploads;
    device.onCommand = [&uploads](const std::string& command) {
        if (command == LastBlock) uploads.note();
    };
    const auto wires = [&device] {
        return session::Wires{std::make_unique<platform::QtSerialPortControl>(),
                              std::make_unique<testing::SimulatedUsbLibrary>(device), nullptr};
    };
    QTemporaryDir folder;
    QSettings qsettings(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    qsettings.setValue("Kavlo TraceBay Disp Wave/IsDispCH1Wave", "True");
    qsettings.setValue("Kavlo TraceBay Disp Wave/IsDispLAWave", "True");
    qsettings.setValue("Kavlo TraceBay IO Settings/ScopeIOType", "0");
    qsettings.setValue("Kavlo TraceBay Settings/DecoderStacks", decoders);
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
    QObject::connect(&window.decoders(), &mainwindow::UploadDecoders::decodedShown,
                     [&] { ++figures.decoded; });
    QElapsedTimer sinceProbe;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (sinceProbe.isValid())
            figures.longestStallMs =
                std::max(figures.longestStallMs, sinceProbe.nsecsElapsed() / 1e6 - 5);
        sinceProbe.start();
    });
    probe.start(5);
    window.findChild<QAction*>("RefreshContinuously")->trigger();
    runFor(seconds * 1000);
    figures.uploadsPerSecond = uploads.rate();
    figures.uploads = uploads.count();
    window.findChild<QAction*>("RefreshContinuously")->setChecked(false);
    while (window.session().state() == State::Uploading) runFor(10);
    window.close();
    return figures;
}

void report(const char* what, const Figures& f, double minimumMs) {
    std::printf(
        "%s: %.3f uploads per second, %.3f of the protocol's %.3f (%.0f ms an upload); "
        "%d decoded of %zu; longest stall %.1f ms\n",
        what, f.uploadsPerSecond, f.uploadsPerSecond * minimumMs / 1000, 1000 / minimumMs,
        minimumMs, f.decoded, f.uploads, f.longestStallMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 20;
    const double minimumMs = protocolMinimumMs();
    // Python set up and the decoders loaded before the clock runs, as after the first upload.
    std::string error;
    std::vector<decode::StackSpec> stacks;
    for (const char* text : {"uart:rx=D0", "i2c:scl=D1:sda=D2,eeprom24xx", "spi:clk=D3"})
        stacks.push_back(*decode::parseStack(text, error));
    decode::resolveStacks(stacks, error);
    report("USB with UART, UART on CH1, I2C with EEPROM and SPI", measure(Decoders, seconds),
           minimumMs);
    report("USB without decoders", measure("", seconds), minimumMs);
}
