// TraceBay: the companion program of the QM1000 oscilloscopes.

#include <QApplication>
#include <QSettings>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "link/LoadedUsbLibrary.h"
#include "mainwindow/SimulatedInstrument.h"
#include "mainwindow/frmWave.h"
#include "platform/LibraryLoader.h"
#include "platform/QtHost.h"
#include "platform/QtSerialPortControl.h"
#include "platform/SettingsStore.h"
#include "sim/Presets.h"

namespace {

using namespace tracebay;

constexpr int ExitUsage = 64;

void printHelp() {
    std::cout << "Usage: TraceBay [--simulate [PRESET]]\n"
                 "\n"
                 "The companion program of the QM1000 oscilloscopes: connect over USB or RS232,\n"
                 "upload the instrument's screen and see it on the PC, press its keys from a\n"
                 "virtual front panel.\n"
                 "\n"
                 "  --simulate [PRESET]  run on a simulated instrument (over RS232, for this run\n"
                 "                       only; the transport chosen in Options is kept for the\n"
                 "                       next run). PRESET chooses what it shows (default yt):\n";
    for (const auto& preset : sim::presets())
        std::cout << "                         " << preset.name
                  << std::string(12 - std::min<size_t>(preset.name.size(), 11), ' ')
                  << preset.description << "\n";
    std::cout << "  --help               show this help\n";
}

struct Arguments {
    std::optional<std::string> simulatePreset;
};

// Nothing when the program is not to start; `status` says how it ends then.
std::optional<Arguments> parse(int argc, char** argv, int& status) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            status = 0;
            return std::nullopt;
        }
        if (arg == "--simulate" && !arguments.simulatePreset) {
            arguments.simulatePreset = "yt";
            if (i + 1 < argc && argv[i + 1][0] != '-') arguments.simulatePreset = argv[++i];
            if (!sim::presetState(*arguments.simulatePreset)) {
                std::cerr << "TraceBay: unknown preset " << *arguments.simulatePreset
                          << " (see --help)\n";
                status = ExitUsage;
                return std::nullopt;
            }
            continue;
        }
        std::cerr << "TraceBay: unexpected " << arg << " (see --help)\n";
        status = ExitUsage;
        return std::nullopt;
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    const auto arguments = parse(argc, argv, status);
    if (!arguments) return status;

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("TraceBay");
    QCoreApplication::setApplicationName("TraceBay");

    std::unique_ptr<mainwindow::SimulatedInstrument> simulator;
    mainwindow::StartOptions start;
    if (arguments->simulatePreset) {
        try {
            simulator =
                std::make_unique<mainwindow::SimulatedInstrument>(*arguments->simulatePreset);
        } catch (const std::exception& e) {
            std::cerr << "TraceBay: " << e.what() << "\n";
            return 1;
        }
        start.simulatorDevice = simulator->devicePath();
    }

    platform::QtHost host;
    platform::QtSerialPortControl port;
    link::LoadedUsbLibrary usb(platform::LibraryLoader::programFolders());
    QSettings qsettings;
    platform::SettingsStore settings(qsettings);
    mainwindow::frmWave window({host, port, usb, settings}, start);
    window.show();
    return QApplication::exec();
}
