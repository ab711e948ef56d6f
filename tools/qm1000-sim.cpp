// qm1000-sim: a simulated QM1000 instrument on a pseudo-terminal.

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "sim/DeviceLink.h"
#include "sim/Faults.h"
#include "sim/Instrument.h"
#include "sim/Presets.h"
#include "sim/PtyServer.h"
#include "sim/SerialFace.h"
#include "sim/StopRequest.h"

namespace {

using namespace tracebay::sim;

void printHelp() {
    std::cout << "Usage: qm1000-sim [OPTION]...\n"
                 "Serves a simulated QM1000 oscilloscope on a pseudo-terminal until interrupted.\n"
                 "Prints the terminal's device path; point TraceBay's RS232 port (or tracebay-cli\n"
                 "--serial) at it.\n"
                 "\n"
                 "  --maker TEXT     maker name in the identity (default KAVLO TECHNOLOGIES)\n"
                 "  --model M        model name (default QM1102D; without the final D there is no\n"
                 "                   logic analyzer)\n"
                 "  --firmware F     firmware version text (default 01.01.03)\n"
                 "  --serial S       serial number text\n"
                 "  --preset NAME    start in one of the set-ups below (default yt)\n"
                 "  --link PATH      also make PATH a symbolic link to the terminal (a PATH\n"
                 "                   that is there already is refused, unless it is such a link)\n"
                 "  --baud RATE      send replies no faster than a line at RATE baud would\n"
                 "  --fault FAULT    misbehave; repeatable: silent, garbage, trickle=MS,\n"
                 "                   prefix-delta=N, split-prefix, oversize=BYTES, disappear,\n"
                 "                   target=TEXT (only commands containing TEXT misbehave)\n"
                 "  --verbose        log every command on standard error\n"
                 "  --help           show this help\n"
                 "\n"
                 "Presets:\n";
    for (const auto& preset : presets())
        std::cout << "  " << preset.name << std::string(12 - preset.name.size(), ' ')
                  << preset.description << "\n";
}

struct Options {
    Identity identity;
    std::string preset = "yt";
    std::string link;
    int baud = 0;
    Faults faults;
    bool verbose = false;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--help") {
            printHelp();
            std::exit(0);
        } else if (arg == "--maker") {
            options.identity.maker = value();
        } else if (arg == "--model") {
            options.identity.model = value();
        } else if (arg == "--firmware") {
            options.identity.firmware = value();
        } else if (arg == "--serial") {
            options.identity.serial = value();
        } else if (arg == "--preset") {
            options.preset = value();
        } else if (arg == "--link") {
            options.link = value();
        } else if (arg == "--baud") {
            options.baud = std::stoi(value());
        } else if (arg == "--fault") {
            const std::string fault = value();
            if (!applyFault(options.faults, fault))
                throw std::invalid_argument("unknown fault " + fault);
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        parse(argc, argv, options);
    } catch (const std::exception& e) {
        std::cerr << "qm1000-sim: " << e.what() << " (see --help)\n";
        return 2;
    }
    const auto state = presetState(options.preset);
    if (!state) {
        std::cerr << "qm1000-sim: unknown preset " << options.preset << " (see --help)\n";
        return 2;
    }
    Instrument instrument(options.identity, *state);
    SerialFace face(instrument, options.faults);
    if (options.verbose)
        face.onCommand = [](const std::string& command) { std::cerr << command << std::endl; };
    try {
        const StopRequest stop;
        const StopOnSignals stopOnSignals(stop);
        PtyServer server(face, options.baud);
        std::unique_ptr<DeviceLink> link;
        if (!options.link.empty())
            link = std::make_unique<DeviceLink>(options.link, server.devicePath());
        std::cout << server.devicePath() << std::endl;
        server.serve(stop);
    } catch (const std::exception& e) {
        std::cerr << "qm1000-sim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
