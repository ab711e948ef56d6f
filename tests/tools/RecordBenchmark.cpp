// tracebay-cli record over the USB library with the simulated instrument inside, against the
// protocol's minimum: the sum of the pauses an upload is made of, measured on the virtual clock
// as if every reply came the instant it was asked for. The rate is taken from the moments the
// program prints the uploads' files, after they are written, so it counts writing them too.
// Usage: build/tests/tools/record_benchmark [COUNT]

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "tests/support/SessionRig.h"
#include "tests/tools/ProcessRunner.h"

namespace {

using namespace tracebay;
using Clock = std::chrono::steady_clock;

struct Setup {
    const char* name;
    const char* preset;
    session::Sources sources;
    std::vector<std::string> flags;
};

// The pauses of one upload as tracebay-cli asks for it, with no lead before it.
double protocolMinimumMs(const Setup& setup) {
    testing::SessionRig rig(testing::Transport::Usb, setup.preset);
    rig.connect();
    rig.host.clearRecords();
    rig.session().refresh(setup.sources);
    const auto& sleeps = rig.host.sleeps();
    return std::accumulate(sleeps.begin(), sleeps.end(), 0.0);
}

// Uploads per second from the first file printed to the last; 0 when fewer came.
double recordRate(const Setup& setup, int count) {
    const auto folder = std::filesystem::temp_directory_path() / "tracebay-record-benchmark";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::vector<std::string> arguments{"--usb",         "record",  "--dir",
                                       folder.string(), "--count", std::to_string(count)};
    arguments.insert(arguments.end(), setup.flags.begin(), setup.flags.end());
    testing::BackgroundProcess cli(
        TRACEBAY_CLI, arguments,
        {{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR}, {"KAVLO_SIM_PRESET", setup.preset}});
    std::vector<Clock::time_point> printed;
    while (!cli.nextLine().empty()) printed.push_back(Clock::now());
    cli.stop();
    std::filesystem::remove_all(folder);
    if (printed.size() < 2 || static_cast<int>(printed.size()) != count) return 0;
    const std::chrono::duration<double> span = printed.back() - printed.front();
    return static_cast<double>(printed.size() - 1) / span.count();
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::stoi(argv[1]) : 20;
    const Setup setups[] = {
        {"CH1, JSON", "yt", {true, false, false, false}, {}},
        {"every trace, JSON, PNG, VCD and sigrok session",
         "logic",
         {true, true, true, true},
         {"--ch1", "--ch2", "--math", "--la", "--png", "--vcd", "--sr"}},
    };
    for (const Setup& setup : setups) {
        const double minimumMs = protocolMinimumMs(setup);
        const double rate = recordRate(setup, count);
        std::printf(
            "%s: %.3f uploads per second, %.3f of the protocol's %.3f (%.0f ms an upload)\n",
            setup.name, rate, rate * minimumMs / 1000, 1000 / minimumMs, minimumMs);
    }
}
