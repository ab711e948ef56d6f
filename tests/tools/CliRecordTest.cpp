// tracebay-cli record over the USB library with the simulated instrument inside: uploads kept
// whole in a folder, however the recording ends.

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

#include "tests/support/ScratchFolder.h"
#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

const std::map<std::string, std::string> SimulatedUsb{{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR}};

class CliRecord : public ::testing::Test, public ScratchFolder {
protected:
    CliRecord() : ScratchFolder("record-") {}

    std::vector<std::string> arguments(std::vector<std::string> more) const {
        more.insert(more.begin(), {"--usb", "record", "--dir", folder.string()});
        return more;
    }

    // Every JSON file of the folder, by name, as its path and what it holds; a file that is no
    // JSON object fails the test.
    std::vector<std::pair<std::string, QJsonObject>> uploads() const {
        std::vector<std::pair<std::string, QJsonObject>> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".json") continue;
            const auto json = QJsonDocument::fromJson(
                QByteArray::fromStdString(contentOf(entry.path().string())));
            EXPECT_TRUE(json.isObject()) << entry.path();
            found.emplace_back(entry.path().string(), json.object());
        }
        std::sort(found.begin(), found.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        return found;
    }

    static std::vector<std::string> linesOf(const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

std::string pictureOf(const std::string& json) {
    return json.substr(0, json.size() - std::string("json").size()) + "png";
}

int64_t capturedMs(const QJsonObject& upload) {
    return QDateTime::fromString(upload["Captured"].toString(), Qt::ISODateWithMs)
        .toMSecsSinceEpoch();
}

TEST_F(CliRecord, CountedUploadsComeWholeWithTheirPicturesAnIntervalApart) {
    const auto result = runProcess(
        TRACEBAY_CLI, arguments({"--count", "3", "--png", "--interval", "0.7"}), SimulatedUsb);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto kept = uploads();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(fileCount(), 6u);
    std::vector<std::string> printed;
    for (size_t i = 0; i < kept.size(); ++i) {
        const auto& [path, upload] = kept[i];
        printed.push_back(path);
        EXPECT_EQ(upload["Ch1Samples"].toArray().size(), 6201) << path;
        EXPECT_EQ(QImage(QString::fromStdString(pictureOf(path))).size(), QSize(350, 250));
        // An upload takes less than the interval: each starts as soon as the interval allows.
        if (i > 0) {
            const int64_t gap = capturedMs(upload) - capturedMs(kept[i - 1].second);
            EXPECT_GE(gap, 690);
            EXPECT_LE(gap, 700 + 250) << "no later than the interval allows";
        }
    }
    EXPECT_EQ(linesOf(result.out), printed);
}

// Interrupted during its third upload, which still ends whole, with nothing half-written left.
TEST_F(CliRecord, InterruptEndsAfterTheUploadInProgress) {
    BackgroundProcess recording(TRACEBAY_CLI, arguments({}), SimulatedUsb);
    std::vector<std::string> printed{recording.nextLine(), recording.nextLine()};
    ASSERT_NE(printed.back(), "");
    EXPECT_EQ(recording.stop(), "");
    EXPECT_EQ(recording.status(), 0);
    for (std::string line; !(line = recording.nextLine()).empty();) printed.push_back(line);
    const auto kept = uploads();
    EXPECT_EQ(fileCount(), kept.size());
    EXPECT_EQ(kept.size(), printed.size());
}

// A second Ctrl+C (or SIGTERM) gives up the upload in progress at once: the keys are unlocked,
// and no file is left, whole or cut short, of the upload given up.
TEST_F(CliRecord, SecondStopEndsAtOnceAfterUnlocking) {
    BackgroundProcess sim(QM1000_SIM,
                          {"--verbose", "--fault", "silent", "--fault", "target=DATA? CHANNEL2"});
    const std::string device = sim.nextLine();
    BackgroundProcess recording(TRACEBAY_CLI, {"--serial", device, "--baud", "38400", "record",
                                               "--dir", folder.string(), "--ch1", "--ch2"});
    ASSERT_TRUE(sim.awaitError(":WAVEFORM:DATA? CHANNEL2", std::chrono::seconds(20)));
    recording.interrupt();
    const auto began = std::chrono::steady_clock::now();
    recording.stop(SIGTERM);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    EXPECT_EQ(recording.status(), 0);
    EXPECT_EQ(fileCount(), 0u);
    EXPECT_EQ(linesOf(sim.stop()).back(), ":KEY:LOCK:ENABLE");
}

struct EndRow {
    const char* name;
    const char* faults;  // KAVLO_SIM_FAULTS
    const char* folder;  // the folder to record into, below the test's own
    int status;
    size_t files;
    std::vector<std::string> messages;  // standard error, line by line
};

std::ostream& operator<<(std::ostream& out, const EndRow& row) { return out << row.name; }

class CliRecordEnd : public CliRecord, public ::testing::WithParamInterface<EndRow> {};

// A part that does not come is kept and named, and recording goes on; a lost link or a file
// that cannot be written ends it. A folder that is not there is made first, and one that cannot
// be made ends the recording before the instrument is asked for anything.
TEST_P(CliRecordEnd, EndsWithWhatCameWritten) {
    const EndRow& row = GetParam();
    write("file", "not a folder");
    std::filesystem::create_directory(folder / "kept");
    const std::filesystem::path into = folder / row.folder;
    auto environment = SimulatedUsb;
    environment["KAVLO_SIM_FAULTS"] = row.faults;
    const auto result = runProcess(
        TRACEBAY_CLI, {"--usb", "record", "--dir", into.string(), "--ch1", "--ch2", "--count", "2"},
        environment);
    EXPECT_EQ(result.status, row.status);
    const auto lines = linesOf(result.err);
    EXPECT_EQ(lines.size(), row.messages.size()) << result.err;
    for (size_t i = 0; i < std::min(lines.size(), row.messages.size()); ++i)
        EXPECT_EQ(lines[i].rfind(row.messages[i], 0), 0u) << lines[i];
    size_t kept = 0;
    if (std::filesystem::is_directory(into))
        for (const auto& entry : std::filesystem::directory_iterator(into)) {
            ++kept;
            const auto json = QJsonDocument::fromJson(
                QByteArray::fromStdString(contentOf(entry.path().string())));
            EXPECT_TRUE(json["Missing"].toObject().contains("CH2")) << entry.path();
        }
    EXPECT_EQ(kept, row.files);
}

const std::string TimeOut = "USB Read Message: Read USB time out";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ends, CliRecordEnd, ::testing::Values(
    EndRow{"SilentBlock", "silent,target=DATA? CHANNEL2", "kept", 3, 2,
           {TimeOut, "CH2: no data (time-out)", TimeOut, "CH2: no data (time-out)"}},
    EndRow{"LostLink", "disappear,target=DATA? CHANNEL1", "kept", 1, 1,
           {"USB Read Message: Cann't Read data from USB Device",
            "USB Send Message: Cann't Connect to USB Device", "no instrument found",
            "CH1: no data (read failed)", "CH2: no data (no device)"}},
    EndRow{"MissingFolderIsMade", "silent,target=DATA? CHANNEL2", "made/below", 3, 2,
           {TimeOut, "CH2: no data (time-out)", TimeOut, "CH2: no data (time-out)"}},
    EndRow{"FolderThatCannotBeMade", "absent", "file/below", 1, 0,
           {"tracebay-cli: Cannot make the folder \""}}),
    [](const auto& row) { return row.param.name; });
// clang-format on

}  // namespace
}  // namespace tracebay::testing
