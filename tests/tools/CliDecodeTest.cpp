// tracebay-cli decode and record -P on uploads of the simulator's serial preset, over the USB
// library with the simulated instrument inside.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "tests/support/ScratchFolder.h"
#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

const std::map<std::string, std::string> SerialPreset{{"LD_LIBRARY_PATH", SIMULATED_LIBRARY_DIR},
                                                      {"KAVLO_SIM_PRESET", "serial"}};

// The bytes the preset's buses carry, as the decoders write them.
const std::string Hello = "48 65 6C 6C 6F";
const std::string World = "57 6F 72 6C 64";

// The texts of a decoder's class ("uart rx-data") in order: from JSON the shortest of each
// annotation, from the lines their text.
std::string textsOf(const std::string& out, const std::string& decoderClass) {
    std::string texts;
    const auto add = [&](const std::string& text) { texts += (texts.empty() ? "" : " ") + text; };
    if (out.rfind("[", 0) == 0) {
        for (const auto& item : QJsonDocument::fromJson(QByteArray::fromStdString(out)).array()) {
            const QJsonObject a = item.toObject();
            if ((a["decoder"].toString() + " " + a["class"].toString()).toStdString() ==
                decoderClass)
                add(a["texts"].toArray().last().toString().toStdString());
        }
        return texts;
    }
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const size_t name = line.find(' ', line.find(' ') + 1) + 1;
        const size_t colon = line.find(": ", name);
        if (line.substr(name, colon - name) == decoderClass) add(line.substr(colon + 2));
    }
    return texts;
}

class CliDecode : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const auto made = runProcess(
            TRACEBAY_CLI, {"--usb", "upload", "--ch1", "--la", "--json", upload()}, SerialPreset);
        ASSERT_EQ(made.status, 0) << made.err;
    }
    static void TearDownTestSuite() { std::filesystem::remove(upload()); }
    // A file of this process's own: ctest runs each row in a process of its own, side by side.
    static std::string upload() {
        return ::testing::TempDir() + "tracebay-cli-serial-" + std::to_string(getpid()) + ".json";
    }
};

struct DecodeRow {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string decoderClass;
    std::string texts;
    std::string error;  // a part of standard error
};

std::string rowName(const ::testing::TestParamInfo<DecodeRow>& info) { return info.param.name; }

ProcessResult decode(const std::string& upload, const std::vector<std::string>& more) {
    std::vector<std::string> arguments{"decode", "--json", upload};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return runProcess(TRACEBAY_CLI, arguments);
}

class CliDecodeRows : public CliDecode, public ::testing::WithParamInterface<DecodeRow> {};

TEST_P(CliDecodeRows, DecodesOrSaysWhyNot) {
    const auto result = decode(upload(), GetParam().arguments);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
    EXPECT_EQ(textsOf(result.out, GetParam().decoderClass), GetParam().texts) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Specs, CliDecodeRows,
    ::testing::Values(
        DecodeRow{"UartOnD0", {"-P", "uart:rx=D0:baudrate=9600"}, 0, "uart rx-data", Hello, ""},
        DecodeRow{"UartOnCh1",
                  {"-P", "uart:rx=CH1:baudrate=9600", "--format", "json"},
                  0,
                  "uart rx-data",
                  World,
                  ""},
        DecodeRow{"EepromOnI2c",
                  {"-P", "i2c:scl=D1:sda=D2,eeprom24xx", "--format", "json"},
                  0,
                  "eeprom24xx data-byte",
                  "54 42",
                  ""},
        DecodeRow{"SpiBesideUart",
                  {"-P", "spi:clk=D3:mosi=D4:cs=D5", "-P", "uart:rx=D0:baudrate=9600"},
                  0,
                  "spi mosi-data",
                  "DE AD BE EF",
                  ""},
        DecodeRow{"NoCh2", {"-P", "uart:rx=CH2"}, 1, "", "", "the upload holds no CH2 samples"}),
    rowName);

// Refused before the file is read.
class CliDecodeRefusals : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(CliDecodeRefusals, ExitWith64AndTheReason) {
    const auto result = decode("absent.json", GetParam().arguments);
    EXPECT_EQ(result.status, 64);
    EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Specs, CliDecodeRefusals,
    ::testing::Values(
        DecodeRow{"UnknownDecoder",
                  {"-P", "uart:rx=D0", "-P", "nosuch"},
                  64,
                  "",
                  "",
                  "tracebay-cli: no decoder is named \"nosuch\" (see tracebay-cli decode --list)"},
        DecodeRow{
            "UnknownChannel", {"-P", "uart:rx=D20"}, 64, "", "", "uart: rx=D20 names no line"},
        DecodeRow{"UnknownOptionValue",
                  {"-P", "uart:rx=D0:parity=maybe"},
                  64,
                  "",
                  "",
                  "uart: parity takes one of"},
        DecodeRow{"NoDecoder", {}, 64, "", "", "decode needs --json FILE and -P SPEC"}),
    rowName);

TEST(CliDecodeList, NamesTheDecodersWithTheirChannelsAndOptions) {
    const auto result = runProcess(TRACEBAY_CLI, {"decode", "--list"});
    EXPECT_EQ(result.status, 0) << result.err;
    for (const char* line : {"\nuart - ", "\n    channels: rx (optional), tx (optional)\n",
                             "\n    options: baudrate=115200, data_bits=8 [5|6|7|8|9]",
                             "\neeprom24xx - ", "\n    reads: i2c\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line;
}

class CliRecordDecoded : public ::testing::Test, public ScratchFolder {
protected:
    CliRecordDecoded() : ScratchFolder("record-decoded-") {}
};

// Each upload's annotations beside it, under its name.
TEST_F(CliRecordDecoded, WritesTheAnnotationsBesideEachUpload) {
    const auto result = runProcess(TRACEBAY_CLI,
                                   {"--usb", "record", "--dir", folder.string(), "--count", "2",
                                    "--la", "-P", "uart:rx=D0:baudrate=9600"},
                                   SerialPreset);
    EXPECT_EQ(result.status, 0) << result.err;
    std::istringstream printed(result.out);
    int uploads = 0;
    for (std::string json; std::getline(printed, json); ++uploads) {
        const std::string decoded = json.substr(0, json.size() - 4) + "decoded.json";
        EXPECT_EQ(textsOf(contentOf(decoded), "uart rx-data"), Hello) << decoded;
    }
    EXPECT_EQ(uploads, 2);
    EXPECT_EQ(fileCount(), 4u);
}

}  // namespace
}  // namespace tracebay::testing
