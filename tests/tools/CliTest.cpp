// tracebay-cli run as a user runs it, against qm1000-sim on a pseudo-terminal, and over USB
// against the build of the USB library with the simulated instrument inside.

#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/ScratchFolder.h"
#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

ProcessResult cli(const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment = {}) {
    return runProcess(TRACEBAY_CLI, arguments, environment);
}

class CliOverSerial : public ::testing::Test {
protected:
    void start(std::vector<std::string> simArguments = {}) {
        simArguments.push_back("--verbose");
        sim_ = std::make_unique<BackgroundProcess>(QM1000_SIM, simArguments);
        device_ = sim_->nextLine();
        ASSERT_FALSE(device_.empty());
    }

    ProcessResult run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--serial", device_, "--baud", "38400"});
        return cli(arguments);
    }

    // The commands the simulated instrument received, in order.
    std::vector<std::string> simCommands() {
        std::istringstream log(sim_->stop());
        std::vector<std::string> commands;
        for (std::string line; std::getline(log, line);) commands.push_back(line);
        return commands;
    }

    std::unique_ptr<BackgroundProcess> sim_;
    std::string device_;
};

TEST_F(CliOverSerial, IdentifyPrintsModelFirmwareAndAnalyzer) {
    start();
    const auto result = run({"identify"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "model=QM1102D firmware=01.01.03 logic_analyzer=yes\n");
    EXPECT_EQ(simCommands(),
              (std::vector<std::string>{":DISPLAY:MENUDISPLAY OFF", ":KEY:LOCK:ENABLE", "*IDN?",
                                        ":KEY:LOCK:ENABLE"}));
}

TEST_F(CliOverSerial, ModelWithoutDHasNoAnalyzer) {
    start({"--model", "QM1052"});
    EXPECT_EQ(run({"identify"}).out, "model=QM1052 firmware=01.01.03 logic_analyzer=no\n");
}

TEST_F(CliOverSerial, OldFirmwareIsRefusedWithTheMessageOnStandardError) {
    start({"--firmware", "01.01.00"});
    const auto result = run({"identify"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "TraceBay: The version of the DSO must be higher than 01.01.01\n"
              "Current Version is 01.01.00\n"
              "Please contact KAVLO at www.kavlo.example/support\n");
}

TEST_F(CliOverSerial, AnotherMakersInstrumentIsRefused) {
    start({"--maker", "ACME INSTRUMENTS"});
    const auto result = run({"identify"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Connect to Oscilloscope: Device not found\n");
}

TEST_F(CliOverSerial, OtherModelFamilyIsRefused) {
    start({"--model", "QM2002D"});
    const auto result = run({"identify"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "model=QM2002D firmware=01.01.03 logic_analyzer=yes\n");
}

TEST_F(CliOverSerial, UploadWritesTheSlotAsJsonAndLocksTheKeysLast) {
    start();
    const std::string path = ::testing::TempDir() + "tracebay-cli-upload.json";
    const auto result = run({"upload", "--ch1", "--ch2", "--json", path});
    ASSERT_EQ(result.status, 0) << result.err;
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(text.str())).object();
    EXPECT_TRUE(json["HasData"].toBool());
    EXPECT_TRUE(json["CapturedCh2"].toBool());
    EXPECT_EQ(json["Ch1ScaleText"].toString(), "500mV");
    EXPECT_EQ(json["Ch2OffsetText"].toString(), "-2.00V");
    EXPECT_EQ(json["TriggerMode"].toString(), "EDGE");
    EXPECT_EQ(json["Ch1Samples"].toArray().size(), 6201);
    EXPECT_EQ(json["Ch2Samples"].toArray().size(), 6201);
    EXPECT_TRUE(json["MathSamples"].toArray().isEmpty());
    const QString block = json["SystemBlock"].toString();
    EXPECT_EQ(block.size(), 224);
    EXPECT_EQ(block, block.toLower());
    EXPECT_EQ(block.mid(4, 4), "2b01");  // ScreenEnd 299
    const auto commands = simCommands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], ":WAVEFORM:DATA? CHANNEL2");
    EXPECT_EQ(commands.back(), ":KEY:LOCK:ENABLE");
}

TEST_F(CliOverSerial, UploadWithoutTracesTakesCh1ToStandardOutput) {
    start();
    const auto result = run({"upload"});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
    EXPECT_TRUE(json["CapturedCh1"].toBool());
    EXPECT_FALSE(json["CapturedCh2"].toBool());
}

TEST_F(CliOverSerial, UploadDrawsThePictureAsTheProgramShowsIt) {
    start({"--preset", "logic"});
    const std::string png = ::testing::TempDir() + "tracebay-cli-upload.png";
    const std::string json = ::testing::TempDir() + "tracebay-cli-upload-for-render.json";
    const auto result = run({"upload", "--ch1", "--la", "--png", png, "--json", json});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");  // with --png, JSON only where asked for
    const QImage picture(QString::fromStdString(png));
    EXPECT_EQ(picture.size(), QSize(350, 250));
    // The colour scheme's black margin, left of the logic labels.
    EXPECT_EQ(picture.pixel(2, 200) & 0xFFFFFF, 0u);

    // The same upload drawn again later, without an instrument, larger and in black and white.
    const std::string again = ::testing::TempDir() + "tracebay-cli-render.png";
    const auto render = cli({"render", "--json", json, "--png", again, "--zoom", "200", "--bw"});
    ASSERT_EQ(render.status, 0) << render.err;
    const QImage larger(QString::fromStdString(again));
    EXPECT_EQ(larger.size(), QSize(700, 500));
    EXPECT_EQ(larger.pixel(2, 400) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(CliOverSerial, RenderWritesTheDrawingAsSvgAndPdfAndTheSamplesAsCsv) {
    start({"--preset", "logic"});
    const std::string base = ::testing::TempDir() + "tracebay-cli-export";
    ASSERT_EQ(run({"upload", "--ch1", "--la", "--json", base + ".json"}).status, 0);
    const auto result = cli({"render", "--json", base + ".json", "--svg", base + ".svg", "--pdf",
                             base + ".pdf", "--csv", base + ".csv", "--vcd", base + ".vcd", "--sr",
                             base + ".sr", "--zoom", "200"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto read = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    const std::string svg = read(base + ".svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 700 500\""), std::string::npos) << svg.substr(0, 300);
    EXPECT_NE(svg.find(">KAVLO</text>"), std::string::npos);
    const std::string pdf = read(base + ".pdf");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/MediaBox [0 0 700"), std::string::npos);
    std::istringstream csv(read(base + ".csv"));
    std::string header;
    std::getline(csv, header);
    EXPECT_EQ(header.rfind("time (s),CH1 (V),D0,D1,", 0), 0u) << header;
    int rows = 0;
    for (std::string line; std::getline(csv, line);) ++rows;
    EXPECT_EQ(rows, 601) << "a row per half column: CH1 from -0.5, the logic lines to 299.5";
    EXPECT_NE(read(base + ".vcd").find("$var wire 1 P D15 $end"), std::string::npos);
    EXPECT_EQ(read(base + ".sr").rfind("PK\x03\x04", 0), 0u) << "a zip archive";

    const auto unwritable = cli({"render", "--json", base + ".json", "--csv", "/no/such/x.csv"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.rfind("tracebay-cli: Cannot save \"/no/such/x.csv\": ", 0), 0u)
        << unwritable.err;
}

TEST_F(CliOverSerial, MeasureGivesTheFiguresOfASavedUpload) {
    start();
    const std::string path = ::testing::TempDir() + "tracebay-cli-measure.json";
    ASSERT_EQ(run({"upload", "--ch1", "--ch2", "--json", path}).status, 0);
    const auto json = cli({"measure", "--json", path, "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject figures =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(figures.keys(), (QStringList{"CH1", "CH1-CH2", "CH2"}));
    EXPECT_EQ(figures["CH1"].toObject().keys(),
              (QStringList{
                  "amplitude", "base",   "clipped",   "cycle_mean", "cycle_rms", "duty",   "fall",
                  "frequency", "nwidth", "overshoot", "period",     "preshoot",  "pwidth", "rise",
                  "top",       "vmax",   "vmean",     "vmin",       "vpp",       "vrms",   "why"}));
    EXPECT_EQ(figures["CH1"]["clipped"], QJsonValue(false));
    EXPECT_NEAR(figures["CH1"]["vpp"].toDouble(), 1.6, 1e-9);
    EXPECT_NEAR(figures["CH2"]["duty"].toDouble(), 0.5, 0.01);
    EXPECT_EQ(figures["CH2"]["rise"], QJsonValue(QJsonValue::Null));
    EXPECT_EQ(figures["CH2"]["why"]["rise"], QJsonValue("faster than one sample (< 10 us)"));
    EXPECT_EQ(figures["CH1-CH2"].toObject().keys(), (QStringList{"delay", "phase", "why"}));
    const auto table = cli({"measure", "--json", path});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.rfind("source   vmax    vmin     vpp     vmean   vrms    top", 0), 0u)
        << table.out;
    EXPECT_NE(table.out.find("\nCH1      0.80 V  -0.80 V  1.60 V  0.00 V  0.56 V"),
              std::string::npos)
        << table.out;
    EXPECT_NE(table.out.find("\nCH2 rise, fall: faster than one sample (< 10 us)\n"),
              std::string::npos)
        << table.out;
}

TEST_F(CliOverSerial, KeyPressesTheNamedKey) {
    start();
    EXPECT_EQ(run({"key", "RUN"}).status, 0);
    EXPECT_EQ(run({"key", ":trig%50"}).status, 0);
    const auto commands = simCommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), ":KEY:RUN"), 1);
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], ":KEY:TRIG%50");
}

// The one line on standard error for a file that could not be read or written, and status 1.
void expectFileFailure(const ProcessResult& result, const std::string& path,
                       const std::string& reason) {
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.err.rfind("tracebay-cli: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
}

TEST_F(CliOverSerial, FailedUploadWriteIsReported) {
    start();
    expectFileFailure(run({"upload", "--json", "/dev/full"}), "/dev/full",
                      "No space left on device");
}

TEST(CliLink, MissingPortFailsTheLinkWithItsMessage) {
    const auto result = cli({"--serial", "/dev/no-such-port", "identify"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("RS232 Init: /dev/no-such-port", 0), 0u) << result.err;
}

TEST(CliLink, UsbIsTheDefaultAndReachesTheLibrary) {
    const auto result = cli({"identify"}, {{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR}});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "model=QM1102D firmware=01.01.03 logic_analyzer=yes\n");
}

TEST(CliLink, UsbUploadOfTheFftFetchesTheSpectrum) {
    const auto result =
        cli({"--usb", "upload", "--math"},
            {{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR}, {"KAVLO_SIM_PRESET", "fft-full"}});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
    EXPECT_EQ(json["FftDisplay"].toString(), "ON");
    EXPECT_EQ(json["FftSamples"].toArray().size(), 6201);
}

// Connect that finds no instrument says on a second line what the library found and where to
// read about access to it: the real library from build/lib, found as an installed program finds
// its own, on a test machine without an instrument, and the simulated one with its instrument
// away or closed to this user.
TEST(CliLink, UsbThatReachesNoInstrumentSaysWhatTheLibraryFound) {
    const struct {
        const char* libraryFolder;
        const char* faults;
        const char* found;
    } cases[] = {{"", "", "no instrument found"},
                 {SIMULATED_LIBRARY_DIR, "absent", "no instrument found"},
                 {SIMULATED_LIBRARY_DIR, "denied", "permission denied: /dev/bus/usb/001/004"}};
    for (const auto& c : cases) {
        const auto result = cli({"--usb", "identify"}, {{"LD_LIBRARY_PATH", c.libraryFolder},
                                                        {"KAVLO_SIM_FAULTS", c.faults}});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "USB Init: Cann't Connect to USB Device\n" + std::string(c.found) +
                                  " (see \"USB access on Linux\" in the README)\n");
    }
}

// What the instrument says reaches the terminal with its control characters written out, on
// either output: it can neither clear the screen nor retitle the window.
TEST(CliLink, DeviceTextsArePrintedWithControlCharactersEscaped) {
    const struct {
        const char* firmware;
        int status;
        const char* printed;
        const char* said;  // on standard error
    } cases[] = {
        {"01.01.03\e[2J\e]0;owned\a", 0, "01.01.03\\x1b[2J\\x1b]0;owned\\x07", ""},
        {"00.99.99\e[2J", 2, "00.99.99\\x1b[2J",
         "TraceBay: The version of the DSO must be higher than 01.01.01\n"
         "Current Version is 00.99.99\\x1b[2J\n"
         "Please contact KAVLO at www.kavlo.example/support\n"},
    };
    for (const auto& c : cases) {
        const auto result = cli({"identify"}, {{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR},
                                               {"KAVLO_SIM_FIRMWARE", c.firmware}});
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out,
                  "model=QM1102D firmware=" + std::string(c.printed) + " logic_analyzer=yes\n");
        EXPECT_EQ(result.err, c.said);
    }
}

class CliFiles : public ::testing::Test, public ScratchFolder {
protected:
    CliFiles() : ScratchFolder("cli-") {}

    ProcessResult render(const std::string& json, const std::string& png,
                         const std::string& zoom = "100") {
        return cli({"render", "--json", json, "--png", png, "--zoom", zoom});
    }
};

struct BadUpload {
    std::string what;
    std::string path;
    std::string reason;
};

TEST_F(CliFiles, RenderAndMeasureRefuseWhatIsNoSavedUpload) {
    const std::string huge = write("huge.json", "{}");
    std::filesystem::resize_file(huge, 16 * 1024 * 1024 + 1);
    std::string firstSampleText = R"({"Ch2Samples": ["0")";
    for (int i = 1; i < 6201; ++i) firstSampleText += ",0";
    const std::vector<BadUpload> cases = {
        {"folder", folder.string(), "not a regular file"},
        {"endless device", "/dev/zero", "not a regular file"},
        {"huge file", huge, "larger than 16 MiB"},
        {"missing file", path("missing.json"), "No such file"},
        {"no JSON", write("text.json", "upload"), "not a JSON object"},
        {"flag as text", write("flag.json", R"({"HasData": "yes"})"), "HasData"},
        {"sample as text", write("samples.json", firstSampleText + "]}"), "Ch2Samples"},
        {"short array", write("short.json", R"({"Ch1Samples": [1, 2]})"), "Ch1Samples"},
        {"block of 223 bytes",
         write("block.json", R"({"SystemBlock": ")" + std::string(446, 'a') + "\"}"),
         "SystemBlock"},
        {"1 MB text",
         write("text-field.json", R"({"TimeScaleText": ")" + std::string(1 << 20, '5') + "\"}"),
         "TimeScaleText is longer than 64 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectFileFailure(render(c.path, path("out.png")), c.path, c.reason);
        EXPECT_FALSE(std::filesystem::exists(path("out.png")));
        expectFileFailure(cli({"measure", "--json", c.path}), c.path, c.reason);
    }
    const std::string empty = write("empty.json", R"({"HasData": true})");
    expectFileFailure(cli({"measure", "--json", empty}), empty, "the upload holds no samples");
}

TEST_F(CliFiles, LogicLineFilesOfAnUploadWithoutThemAreRefused) {
    const std::string upload = write("upload.json", R"({"HasData": true, "IsYT": true})");
    const auto result =
        cli({"render", "--json", upload, "--vcd", path("lines.vcd"), "--sr", path("lines.sr")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tracebay-cli: Cannot save \"" + path("lines.vcd") +
                              "\": the upload holds no logic lines\ntracebay-cli: Cannot save \"" +
                              path("lines.sr") + "\": the upload holds no logic lines\n");
    EXPECT_FALSE(std::filesystem::exists(path("lines.vcd")));
    EXPECT_FALSE(std::filesystem::exists(path("lines.sr")));
}

TEST_F(CliFiles, FailedPictureWriteIsReported) {
    const std::string upload = write("upload.json", R"({"HasData": true})");
    struct stat device {};
    ASSERT_EQ(::stat("/dev/full", &device), 0);
    expectFileFailure(render(upload, "/dev/full"), "/dev/full", "No space left on device");
    struct stat after {};
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));  // written into, never replaced
    EXPECT_EQ(after.st_rdev, device.st_rdev);
    expectFileFailure(render(upload, path("no-folder/out.png")), path("no-folder/out.png"), "");
    const std::string pipe = path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    expectFileFailure(render(upload, pipe), pipe, "no reader");
}

// The disk fills up half-way through the new picture: the old one stays, whole.
TEST_F(CliFiles, PictureWriteThatFailsHalfWayLeavesTheOldPicture) {
    const std::string upload = write("upload.json", R"({"HasData": true, "GridVisible": true})");
    const std::string picture = path("screen.png");
    ASSERT_EQ(render(upload, picture, "300").status, 0);
    const std::string good = contentOf(picture);
    ASSERT_GT(good.size(), 4096u);
    const auto result =
        runProcess("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 4; exec \"$@\"", "sh", TRACEBAY_CLI,
                               "render", "--json", upload, "--png", picture, "--zoom", "250"});
    expectFileFailure(result, picture, "");
    EXPECT_TRUE(contentOf(picture) == good);
    EXPECT_EQ(fileCount(), 2u);
}

TEST(CliUsage, HelpDocumentsEveryCommandAndOption) {
    const auto result = cli({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* word :
         {"identify",        "upload",  "key",      "render", "--usb",  "--serial", "--baud",
          "--ch1",           "--ch2",   "--math",   "--la",   "--json", "--png",    "--svg",
          "--pdf",           "--csv",   "--vcd",    "--sr",   "--zoom", "--bw",     "--no-grid",
          "3 the upload is", "measure", "--format", "record", "--dir",  "--count",  "--interval"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

TEST(CliUsage, KeyListNamesEveryFrontPanelKey) {
    const auto result = cli({"key", "--list"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 42);
    for (const char* name : {":MNUOFF\n", ":RUN\n", ":-FUNCTION\n", ":TRIG%50\n", ":FORCE\n"})
        EXPECT_NE(result.out.find(name), std::string::npos) << name;
}

// Refused before any link is tried, with one line that says what is right.
TEST(CliUsage, BadBaudRateOrKeyIsRefused) {
    const struct {
        std::vector<std::string> arguments;
        const char* hint;
    } cases[] = {
        {{"--serial", "/dev/null", "--baud", "1", "identify"}, "from 110 to 4000000"},
        {{"--serial", "/dev/null", "--baud", "4000001", "upload"}, "from 110 to 4000000"},
        {{"--baud", "fast", "identify"}, "from 110 to 4000000"},
        {{"key", "NOSUCHKEY"}, "(see tracebay-cli key --list)"},
        {{"--serial", "/dev/null", "key", ":KEY:RUN"}, "(see tracebay-cli key --list)"},
    };
    for (const auto& c : cases) {
        const auto result = cli(c.arguments);
        EXPECT_EQ(result.status, 64) << c.arguments[c.arguments.size() - 2];
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(c.hint), std::string::npos) << result.err;
    }
}

TEST(CliUsage, WrongUsageIsRefused) {
    EXPECT_EQ(cli({}).status, 64);
    EXPECT_EQ(cli({"dance"}).status, 64);
    EXPECT_EQ(cli({"key"}).status, 64);
    EXPECT_EQ(cli({"--serial"}).status, 64);
    EXPECT_EQ(cli({"upload", "--png", "x.png", "--zoom", "0"}).status, 64);
    EXPECT_EQ(cli({"render", "--json", "x.json"}).status, 64);
    EXPECT_EQ(cli({"measure"}).status, 64);
    EXPECT_EQ(cli({"measure", "--json", "x.json", "--format", "xml"}).status, 64);
    EXPECT_EQ(cli({"measure", "--json", "x.json", "--png", "x.png"}).status, 64);
    EXPECT_EQ(cli({"record", "--count", "1"}).status, 64);
    EXPECT_EQ(cli({"record", "--dir", ".", "--count", "0"}).status, 64);
    EXPECT_EQ(cli({"--count", "2.5", "record", "--dir", "."}).status, 64);
    EXPECT_EQ(cli({"record", "--dir", ".", "--interval", "-1"}).status, 64);
    EXPECT_EQ(cli({"record", "--dir", ".", "--interval", "soon"}).status, 64);
    EXPECT_EQ(cli({"record", "--dir", ".", "--svg", "x.svg"}).status, 64);
}

}  // namespace
}  // namespace tracebay::testing
