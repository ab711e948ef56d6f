// Continuous refresh of the desktop program with protocol decoders set, against the simulator's
// serial preset over USB (the link library's own code with the simulated device behind it), CH1
// and the logic lines ticked, the session on its thread as in the program: the upload rate
// against the protocol's minimum (the sum of the pauses an upload is made of, on the virtual
// clock), with the UART, I2C and SPI decoders set and without any, how many of the uploads
// shown were decoded, and the longest stall of the window's event loop.
// Goal: with decoders, 0.97 of the protocol's rate or more.
// Usage: build/tests/mainwindow/decode_live_benchmark [SECONDS]

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/Decoding.h"
#include "mainwindow/UploadDecoders.h"
#include "platform/QtSerialPortControl.h"
#include "sim/Presets.h"
#include "sim/UsbtmcDevice.h"
#include "tests/mainwindow/LiveWindow.h"
#include "tests/support/SimulatedUsbLibrary.h"

namespace {

using namespace tracebay;
using benchmark::LastBlock;

constexpr const char* Preset = "serial";
const session::Sources Ticked{true, false, false, true};
const char* const Decoders =
    "uart:rx=D0:baudrate=9600\nuart:rx=CH1:baudrate=9600\n"
    "i2c:scl=D1:sda=D2,eeprom24xx\nspi:clk=D3:mosi=D4:cs=D5";

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
    benchmark::UploadTimes uploads;
    device.onCommand = [&uploads](const std::string& command) {
        if (command == LastBlock) uploads.note();
    };
    const auto wires = [&device] {
        return session::Wires{std::make_unique<platform::QtSerialPortControl>(),
                              std::make_unique<testing::SimulatedUsbLibrary>(device), nullptr};
    };
    benchmark::LiveWindow live(wires, {{"Kavlo TraceBay Disp Wave/IsDispCH1Wave", "True"},
                                       {"Kavlo TraceBay Disp Wave/IsDispLAWave", "True"},
                                       {"Kavlo TraceBay IO Settings/ScopeIOType", "0"},
                                       {"Kavlo TraceBay Settings/DecoderStacks", decoders}});
    if (!live.connect()) return {};

    Figures figures;
    QObject::connect(&live.window().decoders(), &mainwindow::UploadDecoders::decodedShown,
                     [&] { ++figures.decoded; });
    const benchmark::StallProbe stalls;
    live.refreshContinuously();
    benchmark::runFor(seconds * 1000);
    figures.uploadsPerSecond = uploads.rate();
    figures.uploads = uploads.count();
    figures.longestStallMs = stalls.longestMs();
    live.stopRefreshing();
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
    const double minimumMs = benchmark::protocolMinimumMs(testing::Transport::Usb, Preset, Ticked);
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
