#include "export/LogicFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "export/Exporters.h"
#include "export/UploadRecorder.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::exporting {
namespace {

using display::SlotBuilder;

// The files of a zip archive, read with libzip; nothing when it is no archive.
std::optional<std::map<std::string, std::string>> unzipped(const std::string& bytes) {
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, nullptr) : nullptr;
    if (!archive) {
        if (source) zip_source_free(source);
        return std::nullopt;
    }
    std::map<std::string, std::string> files;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string content(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        EXPECT_EQ(zip_fread(file, content.data(), content.size()),
                  static_cast<zip_int64_t>(content.size()));
        zip_fclose(file);
        files[stat.name] = content;
    }
    zip_close(archive);
    return files;
}

// An upload of the logic lines over screen columns 100..199, two words a column, a word every
// 10 us (500 us a division), the trigger at column 200 (2 ms after the first word). D0 rises at
// word 21 (the second of its column) and falls at 60, D5 rises at 40, D12 is high until word 59,
// and D3 is high for word 75 alone.
struct LogicUpload {
    LogicUpload() {
        slot().TimeOffsetText = "-1.000ms";
        slot().CapturedLa = true;
        // The bytes before and after the window are noise the files must not show.
        slot().LaSamples = SlotBuilder::samples(0xA5);
        build.int16(0, 100).int16(2, 199).byte(70, 1);
        for (int i = 0; i < 200; ++i)
            setSample(i,
                      static_cast<uint16_t>((i >= 21 && i < 60 ? 1 : 0) | (i >= 40 ? 1 << 5 : 0) |
                                            (i < 60 ? 1 << 12 : 0) | (i == 75 ? 1 << 3 : 0)));
        slot().Captured = "2026-12-07T14:03:22.512Z";
        slot().Instrument = {"KAVLO", "QM1102D", "01.01.02", "QM$end"};
    }
    acquisition::ScopeState& slot() { return build.slot; }
    void setSample(int i, uint16_t word) {
        words.resize(std::max(words.size(), static_cast<size_t>(i) + 1));
        words[static_cast<size_t>(i)] = word;
        const size_t at = 4 * 100 + 425 + 2 * static_cast<size_t>(i);
        slot().LaSamples[at] = word & 0xFF;
        slot().LaSamples[at + 1] = word >> 8;
    }

    SlotBuilder build;
    std::vector<uint16_t> words;
};

class LogicFiles : public ::testing::Test, protected LogicUpload {
protected:
    std::string vcd() {
        std::string error;
        const auto dump = valueChangeDump(slot(), error);
        EXPECT_TRUE(dump) << error;
        return dump.value_or("");
    }
    std::map<std::string, std::string> session() {
        std::string error;
        const auto archive = sigrokSession(slot(), error);
        EXPECT_TRUE(archive) << error;
        return unzipped(archive.value_or("")).value_or(std::map<std::string, std::string>{});
    }
};

TEST_F(LogicFiles, VcdHasAWirePerLineAndAValueWhereALineChanges) {
    const std::string dump = vcd();
    const auto definitions = dump.find("$enddefinitions $end\n");
    ASSERT_NE(definitions, std::string::npos) << dump;
    const std::string head = dump.substr(0, definitions);
    for (const char* expected :
         {"$timescale 10 us $end\n", "$scope module logic $end\n", "$var wire 1 A D0 $end\n",
          "$var wire 1 F D5 $end\n", "$var wire 1 P D15 $end\n",
          "    trigger at 0.002 s from the first sample\n",
          "    instrument: KAVLO QM1102D, firmware 01.01.02, serial QM?end\n",
          "    captured: 2026-12-07T14:03:22.512Z\n"})
        EXPECT_NE(head.find(expected), std::string::npos) << expected << head;
    EXPECT_EQ(std::count(head.begin(), head.end(), '$'), 2 * (5 + 16))
        << "no text ends a comment early";

    std::string initial = "#0\n$dumpvars\n";
    for (int line = 0; line < 16; ++line)
        initial += std::string(line == 12 ? "1" : "0") + static_cast<char>('A' + line) + "\n";
    EXPECT_EQ(dump.substr(definitions + 21),
              initial + "$end\n#21\n1A\n#40\n1F\n#60\n0A\n0M\n#75\n1D\n#76\n0D\n#200\n");
}

// Whichever of the instrument's texts or the capture time a saved upload has "$end" in, the
// header keeps its keywords.
TEST_F(LogicFiles, NoTextOfTheUploadEndsTheVcdHeaderEarly) {
    using Identity = acquisition::InstrumentIdentity;
    for (std::string Identity::*field :
         {&Identity::Maker, &Identity::Model, &Identity::Firmware, &Identity::Serial}) {
        LogicUpload upload;
        upload.slot().Instrument.*field = "$end\n$var wire 1 Q X";
        upload.slot().Captured = "$end $comment";
        std::string error;
        const std::string dump = valueChangeDump(upload.slot(), error).value_or("");
        const std::string head = dump.substr(0, dump.find("$enddefinitions $end\n"));
        EXPECT_EQ(std::count(head.begin(), head.end(), '$'), 2 * (5 + 16)) << head;
        EXPECT_EQ(head.find("\n$var wire 1 Q"), std::string::npos) << head;
    }
}

// A logic block that ends inside the window gives the words it holds, in the dump and the session.
TEST_F(LogicFiles, ABlockCutShortGivesTheWordsItHolds) {
    slot().LaSamples.resize(4 * 100 + 425 + 2 * 50);  // words 0..49 whole, word 50 a byte
    const auto files = session();
    ASSERT_TRUE(files.count("logic-1-1"));
    EXPECT_EQ(files.at("logic-1-1").size(), 2 * 50u);
    const std::string dump = vcd();
    EXPECT_EQ(dump.substr(dump.rfind('#')), "#50\n") << "the last word lasts its interval";
    EXPECT_NE(dump.find("#40\n1F\n"), std::string::npos);
}

TEST_F(LogicFiles, SigrokSessionHoldsTheVersionTheDeviceAndTheWords) {
    const auto files = session();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files.at("version"), "2");
    std::string expected = "[device 1]\ncapturefile=logic-1\ntotal probes=16\nsamplerate=100 kHz\n";
    for (int line = 0; line < 16; ++line)
        expected += "probe" + std::to_string(line + 1) + "=D" + std::to_string(line) + "\n";
    EXPECT_EQ(files.at("metadata"), expected + "unitsize=2\n");
    const std::string& data = files.at("logic-1-1");
    ASSERT_EQ(data.size(), 2 * words.size());
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(static_cast<uint8_t>(data[2 * i]) | static_cast<uint8_t>(data[2 * i + 1]) << 8,
                  words[i])
            << i;
}

// The time unit is the largest that divides the sample interval (half a column, a 50th of a
// division); a session takes only a rate in whole hertz.
TEST_F(LogicFiles, TheTimeBaseGivesTheUnitAndTheSampleRate) {
    const struct {
        const char* scale;
        const char* timescale;
        const char* firstChange;
        const char* samplerate;  // nullptr: no session
    } rows[] = {
        {"5.000ns", "100 ps", "#1\n", "10 GHz"}, {"2.000ns", "10 ps", "#4\n", "25 GHz"},
        {"2.500ns", "10 ps", "#5\n", "20 GHz"},  {"4.000us", "10 ns", "#8\n", "12500 kHz"},
        {"200.0ms", "1 ms", "#4\n", "250 Hz"},   {"50.00s", "1 s", "#1\n", "1 Hz"},
        {"20.00s", "100 ms", "#4\n", nullptr},
    };
    for (int i = 0; i < 200; ++i) setSample(i, i & 1);
    for (const auto& row : rows) {
        slot().TimeScaleText = row.scale;
        const std::string dump = vcd();
        EXPECT_NE(dump.find("$timescale " + std::string(row.timescale) + " $end"),
                  std::string::npos)
            << row.scale;
        EXPECT_NE(dump.find("$end\n" + std::string(row.firstChange) + "1A\n"), std::string::npos)
            << row.scale;
        std::string error;
        const auto archive = sigrokSession(slot(), error);
        if (!row.samplerate) {
            EXPECT_FALSE(archive) << row.scale;
            EXPECT_EQ(error.rfind("a sigrok session needs a sample rate in whole hertz", 0), 0u)
                << error;
            continue;
        }
        EXPECT_NE(session()["metadata"].find("samplerate=" + std::string(row.samplerate) + "\n"),
                  std::string::npos)
            << row.scale;
    }
}

// A recording writes the logic files chosen beside the upload's JSON, the same as the exports.
TEST_F(LogicFiles, RecordingWritesTheChosenLogicFilesBesideTheUpload) {
    QTemporaryDir folder;
    UploadRecorder recorder(folder.path(), {false, true, true});
    ASSERT_EQ(recorder.record({slot()}), "");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"2026-12-07T14-03-22.512Z.json", "2026-12-07T14-03-22.512Z.sr",
                           "2026-12-07T14-03-22.512Z.vcd"}));
    QFile written(folder.filePath("2026-12-07T14-03-22.512Z.vcd"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), vcd());
}

TEST_F(LogicFiles, AnUploadWithoutLogicLinesHasNothingToExport) {
    const struct {
        const char* why;
        void (*change)(SlotBuilder&);
        const char* error;
        bool holdsLines;
    } rows[] = {
        {"not captured", [](SlotBuilder& b) { b.slot.CapturedLa = false; },
         "the upload holds no logic lines", false},
        {"not valid", [](SlotBuilder& b) { b.byte(70, 0); }, "the upload holds no logic lines",
         false},
        {"block missing",
         [](SlotBuilder& b) {
             b.slot.Parts = {{"SystemBlock", ""}, {"LA", "time-out"}};
         },
         "the upload holds no logic lines", false},
        {"never came", [](SlotBuilder& b) { b.slot.LaSamples.clear(); },
         "the upload holds no logic lines", false},
        {"X-Y", [](SlotBuilder& b) { b.slot.IsYT = false; }, "the upload holds no logic lines",
         false},
        {"no upload", [](SlotBuilder& b) { b.slot.HasData = false; }, "nothing has been uploaded",
         false},
        {"alternate trigger", [](SlotBuilder& b) { b.slot.TriggerMode = "ALTERNATION"; },
         "in alternate trigger the upload holds no time base of the logic lines", true},
        {"no time base", [](SlotBuilder& b) { b.slot.TimeScaleText = "0.000s"; },
         "the time base \"0.000s\" gives no sample interval", true},
    };
    QTemporaryDir folder;
    for (const auto& row : rows) {
        LogicUpload fresh;
        row.change(fresh.build);
        for (const char* option : {"--vcd", "--sr"}) {
            const QString path = folder.filePath("lines");
            EXPECT_EQ(exportTo(*formatForOption(option), {fresh.slot()}, path),
                      "Cannot save \"" + path.toStdString() + "\": " + row.error)
                << row.why;
            EXPECT_FALSE(QFile::exists(path)) << row.why;
        }
        for (const Exporter& exporter : exporters()) {
            if (exporter.id.rfind("ExportLogic", 0) == 0) {
                EXPECT_EQ(exporter.appliesTo(fresh.slot()), row.holdsLines) << row.why;
            }
        }
    }
}

}  // namespace
}  // namespace tracebay::exporting
