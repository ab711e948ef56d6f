// Uploads per second while the main window refreshes continuously, against the simulated
// instrument with every trace ticked: over RS232 (a pseudo-terminal, 9600 baud pacing) and over
// USB (the link library's own code with the simulated device behind it).
// Usage: build/tests/mainwindow/live_refresh_benchmark [SECONDS]

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <string>

#include "mainwindow/SimulatedInstrument.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "sim/Presets.h"
#include "sim/UsbtmcDevice.h"
#include "tests/support/FakeUsbLibrary.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace {

using namespace tracebay;

double uploadsPerSecond(link::UsbLibrary& usb, const std::string& serialDevice, int seconds) {
    QTemporaryDir folder;
    QSettings qsettings(folder.filePath("TraceBay.conf"), QSettings::IniFormat);
    for (const char* flag : {"IsDispCH1Wave", "IsDispCH2Wave", "IsDispMathWave", "IsDispLAWave"})
        qsettings.setValue(QString("Kavlo TraceBay Disp Wave/") + flag, "True");
    qsettings.setValue("Kavlo TraceBay IO Settings/ScopeIOType", serialDevice.empty() ? "0" : "2");
    qsettings.setValue("Kavlo TraceBay IO Settings/SerialDevice",
                       QString::fromStdString(serialDevice));
    platform::SettingsStore settings(qsettings);
    platform::QtHost host;
    platform::QtSerialPortControl port;
    mainwindow::frmWave window({host, port, usb, settings});
    window.show();
    QApplication::processEvents();
    window.connection().ConnectScope();
    if (!window.connection().ScopeConnected) return 0;
    int uploads = 0;
    bool busy = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window.acquisition().TransferBusy && !busy) ++uploads;
        busy = window.acquisition().TransferBusy;
    });
    watch.start(1);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QAction*>("RefreshContinuously")->trigger();
    while (clock.elapsed() < seconds * 1000) host.processEvents();
    window.findChild<QAction*>("RefreshContinuously")->setChecked(false);
    while (window.acquisition().TransferBusy) host.processEvents();
    return uploads * 1000.0 / clock.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 20;
    {
        mainwindow::SimulatedInstrument simulator("logic");
        testing::FakeUsbLibrary none;
        std::printf("RS232: %.2f uploads per second\n",
                    uploadsPerSecond(none, simulator.devicePath(), seconds));
    }
    sim::Instrument instrument(sim::Identity{}, *sim::presetState("logic"));
    sim::Faults faults;
    sim::UsbtmcDevice device(instrument, faults);
    testing::SimulatedUsbLibrary usb(device);
    std::printf("USB:   %.2f uploads per second\n", uploadsPerSecond(usb, "", seconds));
}
