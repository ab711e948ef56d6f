// tracebay-cli uploading from an instrument that misbehaves, over either link: each fault of
// the simulator on one block ends in an honest outcome (exit status, what standard error names,
// what the JSON says arrived) within the link's time-outs.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

struct FaultRow {
    const char* name;
    bool usb;
    const char* fault;   // as the simulator's command line names it
    const char* target;  // the command whose reply misbehaves
    int status;
    std::vector<std::string> missing;   // what standard error names as not come
    std::vector<std::string> messages;  // the other lines on standard error
    double maxSeconds;                  // the whole run, connect to last command
};

std::ostream& operator<<(std::ostream& out, const FaultRow& row) { return out << row.name; }

struct UploadRun {
    ProcessResult result;
    double seconds = 0;
    QJsonObject json;
};

UploadRun upload(const FaultRow& row, const std::string& jsonPath) {
    const std::string target = std::string("target=") + row.target;
    std::vector<std::string> arguments{"--usb"};
    std::map<std::string, std::string> environment;
    std::unique_ptr<BackgroundProcess> sim;
    if (row.usb) {
        environment = {{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR},
                       {"KAVLO_SIM_FAULTS", std::string(row.fault) + "," + target}};
    } else {
        sim = std::make_unique<BackgroundProcess>(
            QM1000_SIM, std::vector<std::string>{"--fault", row.fault, "--fault", target});
        arguments = {"--serial", sim->nextLine(), "--baud", "38400"};
    }
    for (const char* a : {"upload", "--ch1", "--ch2", "--math", "--json"}) arguments.push_back(a);
    arguments.push_back(jsonPath);
    UploadRun run;
    const auto start = std::chrono::steady_clock::now();
    run.result = runProcess(TRACEBAY_CLI, arguments, environment);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ifstream file(jsonPath);
    std::stringstream text;
    text << file.rdbuf();
    run.json = QJsonDocument::fromJson(QByteArray::fromStdString(text.str())).object();
    return run;
}

// Standard error split into the parts named as missing and the other messages.
void splitErrors(const std::string& err, std::vector<std::string>& missing,
                 std::vector<std::string>& messages) {
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        (line.find(": no data (") != std::string::npos ? missing : messages).push_back(line);
}

class CliFaults : public ::testing::TestWithParam<FaultRow> {};

TEST_P(CliFaults, UploadEndsHonestlyInBoundedTime) {
    const FaultRow& row = GetParam();
    const UploadRun run = upload(row, ::testing::TempDir() + "tracebay-cli-" + row.name + ".json");
    std::cout << "[ MEASURED ] " << row.name << ": " << run.seconds << " s" << std::endl;
    RecordProperty("seconds", std::to_string(run.seconds));
    EXPECT_EQ(run.result.status, row.status) << run.result.err;
    std::vector<std::string> missing;
    std::vector<std::string> messages;
    splitErrors(run.result.err, missing, messages);
    EXPECT_EQ(missing, row.missing);
    EXPECT_EQ(messages, row.messages);
    EXPECT_LT(run.seconds, row.maxSeconds);
    // What the file holds agrees: a part that did not come is marked so and brings nothing.
    const QJsonObject arrived = run.json["Arrived"].toObject();
    const QJsonObject why = run.json["Missing"].toObject();
    for (const char* part : {"SystemBlock", "CH1", "CH2", "MATH"}) {
        const bool lost = std::any_of(missing.begin(), missing.end(), [&](const std::string& m) {
            return m.rfind(std::string(part) + ":", 0) == 0;
        });
        EXPECT_EQ(arrived[part].toBool(true), !lost) << part;
        EXPECT_EQ(why.contains(part), lost) << part;
    }
    EXPECT_EQ(run.json["Ch1Samples"].toArray().size(), 6201);
    const bool ch2Lost = !arrived["CH2"].toBool();
    EXPECT_EQ(run.json["Ch2Samples"].toArray().size(), ch2Lost ? 0 : 6201);
}

constexpr bool Serial = false;
constexpr bool Usb = true;
constexpr const char* Ch2 = "DATA? CHANNEL2";
constexpr const char* System = ":SYSTEM:DATA?";
const std::string ReadFailed = "USB Read Message: Cann't Read data from USB Device";
const std::string NoDevice = "Cann't Connect to USB Device";
const std::string NotFound = "no instrument found (see \"USB access on Linux\" in the README)";

// The times: serial at 38400 baud takes about 2.5 s without a fault, a block that never ends
// 10 s more; USB about 1.3 s, a reply that never comes 5 s more.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Faults, CliFaults, ::testing::Values(
    FaultRow{"SerialSilent", Serial, "silent", Ch2, 3, {"CH2: no data (time-out)"}, {}, 30},
    FaultRow{"SerialGarbage", Serial, "garbage", Ch2, 3,
             {"CH2: no data (12 bytes, 812 needed)"}, {}, 15},
    FaultRow{"SerialTrickle", Serial, "trickle=2", Ch2, 0, {}, {}, 15},
    FaultRow{"SerialLongerPrefix", Serial, "prefix-delta=10", Ch2, 3,
             {"CH2: no data (time-out)"}, {}, 30},
    FaultRow{"SerialShorterPrefix", Serial, "prefix-delta=-10", Ch2, 3,
             {"CH2: no data (time-out)"}, {}, 30},
    FaultRow{"SerialSplitPrefix", Serial, "split-prefix", Ch2, 0, {}, {}, 15},
    FaultRow{"SerialOversize", Serial, "oversize=7000", Ch2, 3,
             {"CH2: no data (7000 bytes, more than 6200)"}, {}, 15},
    FaultRow{"SerialDisappear", Serial, "disappear", Ch2, 3,
             {"CH2: no data (port closed)", "MATH: no data (port closed)"},
             {"RS232 Send Message: Operation valid only when the port is open"}, 10},
    FaultRow{"SerialSystemBlockGarbage", Serial, "garbage", System, 3,
             {"SystemBlock: no data (12 bytes, 112 needed)"}, {}, 15},
    FaultRow{"UsbSilent", Usb, "silent", Ch2, 3, {"CH2: no data (time-out)"},
             {"USB Read Message: Read USB time out"}, 20},
    FaultRow{"UsbGarbage", Usb, "garbage", Ch2, 3, {"CH2: no data (12 bytes, 812 needed)"}, {}, 15},
    FaultRow{"UsbTrickle", Usb, "trickle=2", Ch2, 0, {}, {}, 15},
    FaultRow{"UsbLongerPrefix", Usb, "prefix-delta=10", Ch2, 3, {"CH2: no data (read failed)"},
             {ReadFailed}, 15},
    FaultRow{"UsbShorterPrefix", Usb, "prefix-delta=-10", Ch2, 3,
             {"CH2: no data (805 bytes, 812 needed)"}, {}, 15},
    FaultRow{"UsbSplitPrefix", Usb, "split-prefix", Ch2, 0, {}, {}, 15},
    FaultRow{"UsbOversize", Usb, "oversize=7000", Ch2, 3,
             {"CH2: no data (7000 bytes, more than 6200)"}, {ReadFailed}, 15},
    FaultRow{"UsbWrongMessageId", Usb, "wrong-message-id", Ch2, 3, {"CH2: no data (read failed)"},
             {"Kavlo Device: Transfer protocols erros ouccrs,please send Initiate_abort_bulk_in "
              "request!", ReadFailed}, 15},
    FaultRow{"UsbShortPacket", Usb, "short-packet", Ch2, 3, {"CH2: no data (read failed)"},
             {ReadFailed}, 15},
    FaultRow{"UsbDisappear", Usb, "disappear", Ch2, 3,
             {"CH2: no data (read failed)", "MATH: no data (no device)"},
             {ReadFailed, "USB Send Message: " + NoDevice, NotFound}, 10},
    FaultRow{"UsbSystemBlockWrongMessageId", Usb, "wrong-message-id", System, 3,
             {"SystemBlock: no data (read failed)"},
             {"Kavlo Device: Transfer protocols erros ouccrs,please send Initiate_abort_bulk_in "
              "request!"}, 15}),
    [](const auto& row) { return row.param.name; });
// clang-format on

struct StopRow {
    const char* name;
    std::vector<std::string> command;
    int signal;
    int status;  // 128 + the signal, as a shell reports a program that signal ended
};

std::ostream& operator<<(std::ostream& out, const StopRow& row) { return out << row.name; }

class CliStop : public ::testing::TestWithParam<StopRow> {};

// Ctrl+C or SIGTERM while an instrument holds back a block ends the command at once, as the
// signal would, but in order: the keys unlocked last and no file written.
TEST_P(CliStop, EndsAtOnceWithTheKeysUnlocked) {
    const StopRow& row = GetParam();
    BackgroundProcess sim(QM1000_SIM,
                          {"--verbose", "--fault", "silent", "--fault", "target=DATA? CHANNEL2"});
    const std::string json = ::testing::TempDir() + "tracebay-cli-stop-" + row.name + ".json";
    std::filesystem::remove(json);
    std::vector<std::string> arguments{"--serial", sim.nextLine(), "--baud", "38400"};
    arguments.insert(arguments.end(), row.command.begin(), row.command.end());
    arguments.insert(arguments.end(), {"--ch1", "--ch2", "--json", json});
    BackgroundProcess cli(TRACEBAY_CLI, arguments);
    ASSERT_TRUE(sim.awaitError(":WAVEFORM:DATA? CHANNEL2", std::chrono::seconds(20)));
    const auto began = std::chrono::steady_clock::now();
    cli.stop(row.signal);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    EXPECT_EQ(cli.status(), row.status);
    EXPECT_FALSE(std::filesystem::exists(json));
    const std::string commands = sim.stop();
    EXPECT_EQ(commands.substr(commands.rfind('\n', commands.size() - 2) + 1), ":KEY:LOCK:ENABLE\n");
}

INSTANTIATE_TEST_SUITE_P(Stops, CliStop,
                         ::testing::Values(StopRow{"UploadInterrupted", {"upload"}, SIGINT, 130},
                                           StopRow{"UploadTerminated", {"upload"}, SIGTERM, 143}),
                         [](const auto& row) { return row.param.name; });

// Nothing answers on a port that opened: three identity queries of 4 s each, then the message
// names the port and the rate that were tried.
TEST(CliSilence, SerialPortThatNeverAnswersNamesThePortAndRate) {
    BackgroundProcess sim(QM1000_SIM, {"--fault", "silent"});
    const std::string device = sim.nextLine();
    const auto result =
        runProcess(TRACEBAY_CLI, {"--serial", device, "--baud", "19200", "identify"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Connect to Oscilloscope: Device not found\nNo answer from " + device +
                              " at 19200 baud: check the cable and the baud rate set on the "
                              "instrument\n");
}

}  // namespace
}  // namespace tracebay::testing
