// TraceBay: the companion program of the QM1000 oscilloscopes.

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "mainwindow/CloseOnSignal.h"
#include "mainwindow/PictureSharing.h"
#include "mainwindow/SimulatedInstrument.h"
#include "mainwindow/WaveView.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "platform/SettingsStore.h"
#include "session/SessionThread.h"
#include "sim/Presets.h"

namespace {

using namespace tracebay;

constexpr int ExitUsage = 64;

void printHelp() {
    std::cout << "Usage: TraceBay [--simulate [PRESET]] [FILE.json]\n"
                 "\n"
                 "The companion program of the QM1000 oscilloscopes: connect over USB or RS232,\n"
                 "upload the instrument's screen and see it on the PC, press its keys from a\n"
                 "virtual front panel.\n"
                 "\n"
                 "  FILE.json            show an upload saved with Save upload as... or with\n"
                 "                       tracebay-cli --json, as if just uploaded\n"
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
    std::optional<std::string> uploadFile;
};

// A saved upload to show; anything else that is not an option is refused.
bool isUploadFile(const std::string& arg) {
    const std::string suffix = ".json";
    if (arg.empty() || arg.front() == '-' || arg.size() <= suffix.size()) return false;
    return QString::fromLocal8Bit(arg).endsWith(QString::fromStdString(suffix),
                                                Qt::CaseInsensitive);
}

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
            if (i + 1 < argc && argv[i + 1][0] != '-' && !isUploadFile(argv[i + 1]))
                arguments.simulatePreset = argv[++i];
            if (!sim::presetState(*arguments.simulatePreset)) {
                std::cerr << "TraceBay: unknown preset " << *arguments.simulatePreset
                          << " (see --help)\n";
                status = ExitUsage;
                return std::nullopt;
            }
            continue;
        }
        if (isUploadFile(arg) && !arguments.uploadFile) {
            arguments.uploadFile = arg;
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
    QGuiApplication::setDesktopFileName("org.tracebay.TraceBay");

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
    QSettings qsettings;
    platform::SettingsStore settings(qsettings);
    // The session, with the serial port and the USB library, lives on a thread of its own.
    const auto makeSession = [&host](session::SessionObserver& observer) {
        return std::make_unique<session::SessionThread>(session::systemWires, host, observer);
    };
    mainwindow::frmWave window({host, settings, makeSession}, start);
    // Ended from outside, the window closes in order, after the operation in progress.
    mainwindow::CloseOnSignal closeOnSignal([&] { window.closeOnSignal(); });
    window.show();
    // Without a window manager nothing gives the window the keyboard; its shortcuts need it.
    window.activateWindow();
    if (arguments->uploadFile)
        window.sharing().openUploadFile(QString::fromLocal8Bit(*arguments->uploadFile));
    return QApplication::exec();
}
