// tracebay-cli mask make and mask check on crafted uploads, render with references, and
// recording with a mask test against the simulated instrument.

#include <QByteArray>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/ScopeStateJson.h"
#include "tests/mask/CraftedUpload.h"
#include "tests/support/ScratchFolder.h"
#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

using Rows = std::vector<int>;

const std::map<std::string, std::string> SimulatedUsb{{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR}};

ProcessResult cli(const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment = {}) {
    return runProcess(TRACEBAY_CLI, arguments, environment);
}

class CliMask : public ::testing::Test, public ScratchFolder {
protected:
    CliMask() : ScratchFolder("mask-") {}

    std::string upload(const std::string& name, const acquisition::ScopeState& slot) const {
        return write(name, acquisition::toJson(slot));
    }
    std::string upload(const std::string& name, const display::SlotBuilder& b) const {
        return upload(name, b.slot);
    }
};

struct CliRun {
    const char* what;
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string err;  // the start of standard error
};

// In order: the mask is made first, then every upload is held against it.
TEST_F(CliMask, MakeAndCheckGiveTheirExitStatus) {
    const std::string good = upload("good.json", squareUpload());
    const std::string bump =
        upload("bump.json", squareUpload([](Rows& r) { r[301] = r[302] = r[303] = 30; }));
    display::SlotBuilder otherScale = squareUpload([](Rows& r) {
        for (int& row : r) row = 100 + (row - 100) / 2;
    });
    otherScale.slot.Ch1ScaleText = "1.00V";
    display::SlotBuilder noCh1 = squareUpload();
    noCh1.slot.CapturedCh1 = false;
    display::SlotBuilder slower = squareUpload();
    slower.slot.TimeScaleText = "1.000ms";
    const std::string offScreen =
        upload("off-screen.json", squareUpload([](Rows& r) { r[10] = 199; }));
    const std::string mask = path("mask.json");
    const std::string cut = path("cut.json");
    const std::vector<std::string> check{"mask", "check", "--mask", mask, "--json"};
    const auto checking = [&](const std::string& json, const char* format) {
        auto arguments = check;
        arguments.insert(arguments.end(), {json, "--format", format});
        return arguments;
    };
    const std::vector<CliRun> runs = {
        {"make", {"mask", "make", "--json", good, "--tolerance", "0.2", "--out", mask}, 0, "", ""},
        // Neither failure to make a mask touches the one made.
        {"make from a trace off the screen",
         {"mask", "make", "--json", offScreen, "--tolerance", "0.2", "--out", mask},
         1,
         "",
         "tracebay-cli: cannot make a mask from " + offScreen + ": CH1 runs off the screen"},
        {"make into no folder",
         {"mask", "make", "--json", good, "--tolerance", "0.2", "--out", path("none/m.json")},
         1,
         "",
         "tracebay-cli: cannot write " + path("none/m.json")},
        {"the same", checking(good, "text"), 0, "CH1: pass, 600 samples within the mask\n", ""},
        {"another scale", checking(upload("scale.json", otherScale), "json"), 0,
         R"({"pass": true, "outside": 0, "samples": 600, "first": null, "source": "CH1"})"
         "\n",
         ""},
        {"a bump", checking(bump, "json"), 2,
         R"({"pass": false, "outside": 3, "samples": 600, "first": {"time": 0, "volts": 1.4},)"
         R"( "source": "CH1"})"
         "\n",
         ""},
        {"a bump, as text", checking(bump, "text"), 2,
         "CH1: fail, 3 of 600 samples outside the mask, the first at 0 s, 1.40 V\n", ""},
        {"no CH1", checking(upload("no-ch1.json", noCh1), "text"), 1, "",
         "tracebay-cli: cannot check: the upload holds no CH1 trace in time\n"},
        {"a slower time base", checking(upload("slow.json", slower), "text"), 1, "",
         "tracebay-cli: cannot check: the upload's CH1 runs from -6.02 ms to 5.96 ms"},
        {"a cut mask",
         {"mask", "check", "--mask", cut, "--json", good},
         1,
         "",
         "tracebay-cli: cannot check: " + cut + ": not JSON"},
        {"no upload", checking(path("none.json"), "text"), 1, "", "tracebay-cli: cannot read"},
    };
    for (const CliRun& run : runs) {
        SCOPED_TRACE(run.what);
        if (std::filesystem::exists(mask) && !std::filesystem::exists(cut))
            write("cut.json", contentOf(mask).substr(0, contentOf(mask).size() - 100));
        const auto result = cli(run.arguments);
        EXPECT_EQ(result.status, run.status);
        EXPECT_EQ(result.out, run.out);
        EXPECT_EQ(result.err.substr(0, run.err.size()), run.err) << result.err;
    }
}

TEST(CliMaskUsage, WrongUsageIsRefused) {
    const std::vector<std::vector<std::string>> wrong = {
        {"mask"},
        {"mask", "test", "--json", "u.json"},
        {"mask", "make", "--json", "u.json", "--out", "m.json"},
        {"mask", "make", "--json", "u.json", "--tolerance", "9", "--out", "m.json"},
        {"mask", "make", "--json", "u.json", "--tolerance", "1", "--time-tolerance", "-1", "--out",
         "m.json"},
        {"mask", "make", "--json", "u.json", "--source", "FFT", "--tolerance", "1", "--out", "m"},
        {"mask", "check", "--json", "u.json"},
        {"mask", "check", "--mask", "m.json"},
        {"record", "--dir", ".", "--stop-on-fail"},
        {"measure", "--json", "u.json", "--ref", "r.json"},
        {"render", "--json", "u.json", "--png", "p.png", "--ref", "a", "--ref", "b", "--ref", "c"},
    };
    for (const auto& arguments : wrong) {
        const auto result = cli(arguments);
        EXPECT_EQ(result.status, 64) << arguments[1];
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

// The pixels of a colour inside the grid, where no text is written.
size_t pixelsOf(const QImage& image, QRgb color) {
    size_t count = 0;
    for (int y = 26; y < 225; ++y)
        for (int x = 26; x < 325; ++x) count += (image.pixel(x, y) & 0xFFFFFF) == color;
    return count;
}

// REF A in pink, REF B in white, each over the picture; a reference that cannot be had draws
// nothing.
TEST_F(CliMask, RenderDrawsReferencesOverThePicture) {
    const std::string good = upload("good.json", squareUpload());
    const std::string bump = upload("bump.json", squareUpload([](Rows& r) { r[300] = 30; }));
    const std::string inverted = upload("inverted.json", squareUpload([](Rows& r) {
                                            for (int& row : r) row = 200 - row;
                                        }));
    ASSERT_EQ(cli({"render", "--json", good, "--png", path("plain.png")}).status, 0);
    const auto result = cli({"render", "--json", good, "--png", path("refs.png"), "--ref",
                             bump + ":CH1", "--ref", inverted});
    EXPECT_EQ(result.status, 0) << result.err;
    const QImage plain(QString::fromStdString(path("plain.png")));
    const QImage refs(QString::fromStdString(path("refs.png")));
    for (const QRgb color : {0xFF80C0u, 0xFFFFFFu}) {
        EXPECT_EQ(pixelsOf(plain, color), 0u);
        EXPECT_GT(pixelsOf(refs, color), 300u);
    }
    const auto missing =
        cli({"render", "--json", good, "--png", path("none.png"), "--ref", good + ":CH2"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "tracebay-cli: cannot take a reference from " + good + ": the upload holds no CH2\n");
    EXPECT_FALSE(std::filesystem::exists(path("none.png")));
}

struct RecordRow {
    const char* name;
    bool altered;  // the mask made from an upload with one sample moved 20 rows
    bool stopOnFail;
    int status;
    size_t files;
    std::string err;  // the start of standard error
};

std::ostream& operator<<(std::ostream& out, const RecordRow& row) { return out << row.name; }

class CliMaskRecord : public CliMask, public ::testing::WithParamInterface<RecordRow> {};

// Each recorded upload carries its mask test; --stop-on-fail ends at the first failure.
TEST_P(CliMaskRecord, KeepsEachOutcome) {
    const RecordRow& row = GetParam();
    const std::string first = path("first.json");
    ASSERT_EQ(cli({"--usb", "upload", "--json", first}, SimulatedUsb).status, 0);
    std::string error;
    auto slot = acquisition::fromJson(contentOf(first), error);
    ASSERT_TRUE(slot) << error;
    if (row.altered) slot->Ch1Samples[500] += slot->Ch1Samples[500] < 100 ? 20 : -20;
    const std::string offScreen =
        upload("off-screen.json", squareUpload([](Rows& r) { r[10] = 199; }));
    const std::string mask = path("mask.json");
    ASSERT_EQ(cli({"mask", "make", "--json", upload("reference.json", *slot), "--tolerance", "0.2",
                   "--out", mask})
                  .status,
              0);
    const std::string dir = path("uploads");
    std::filesystem::create_directory(dir);
    std::vector<std::string> arguments{"--usb",   "record", "--dir",  dir,
                                       "--count", "2",      "--mask", mask};
    if (row.stopOnFail) arguments.push_back("--stop-on-fail");
    const auto result = cli(arguments, SimulatedUsb);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err.substr(0, row.err.size()), row.err) << result.err;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++files;
        const QJsonObject verdict =
            QJsonDocument::fromJson(QByteArray::fromStdString(contentOf(entry.path())))
                .object()["Mask"]
                .toObject();
        EXPECT_EQ(verdict["pass"].toBool(), !row.altered) << entry.path();
        EXPECT_EQ(verdict["outside"].toInt(), row.altered ? 1 : 0);
        EXPECT_EQ(verdict["samples"].toInt(), 600);
    }
    EXPECT_EQ(files, row.files);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Recordings, CliMaskRecord, ::testing::Values(
    RecordRow{"Passing", false, true, 0, 2, ""},
    RecordRow{"FailingGoesOn", true, false, 0, 2, "CH1: fail, 1 of 600 samples outside the mask"},
    RecordRow{"FailingStops", true, true, 2, 1, "CH1: fail, 1 of 600 samples outside the mask"}),
    [](const auto& row) { return row.param.name; });
// clang-format on

}  // namespace
}  // namespace tracebay::testing
