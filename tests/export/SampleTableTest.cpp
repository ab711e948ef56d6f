#include "export/SampleTable.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/display/SlotBuilder.h"
#include "tests/support/CommaDecimalLocale.h"

namespace tracebay::exporting {
namespace {

using display::SlotBuilder;
using Samples = acquisition::ScopeState::Samples;

// A table read back: the header and the rows, an empty cell as nothing.
struct Table {
    QStringList header;
    std::vector<std::vector<std::optional<double>>> rows;

    std::optional<double> at(size_t row, const QString& column) const {
        return rows.at(row).at(static_cast<size_t>(header.indexOf(column)));
    }
};

Table readBack(const acquisition::ScopeState& slot) {
    std::string error;
    const auto csv = samplesCsv(slot, error);
    EXPECT_TRUE(csv) << error;
    QStringList lines = QString::fromStdString(csv.value_or("")).split('\n');
    EXPECT_EQ(lines.takeLast(), "") << "every line ends";
    Table table{lines.takeFirst().split(','), {}};
    for (const QString& line : lines) {
        std::vector<std::optional<double>> row;
        for (const QString& cell : line.split(',')) {
            bool ok = cell.isEmpty();
            const double value = QLocale::c().toDouble(cell, &ok);
            EXPECT_TRUE(ok || cell.isEmpty()) << cell.toStdString();
            row.push_back(cell.isEmpty() ? std::nullopt : std::optional(value));
        }
        EXPECT_EQ(row.size(), static_cast<size_t>(table.header.size()));
        table.rows.push_back(row);
    }
    return table;
}

// Element i holds i mod 200: every element tells where it was read.
Samples countingSamples() {
    Samples samples(acquisition::ScopeState::SampleCount);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(i % 200);
    return samples;
}

class SampleTable : public ::testing::Test {
protected:
    SampleTable() {
        slot().TimeScaleText = "1.000ms";
        slot().TimeOffsetText = "2.000ms";  // the trigger at column 150 - 25 * 2 = 100
        build.int16(0, 10).int16(2, 20);
    }
    acquisition::ScopeState& slot() { return build.slot; }
    void captureCh1() {
        slot().CapturedCh1 = true;
        slot().Ch1Samples = countingSamples();
        slot().Ch1ScaleText = "500mV";
        slot().Ch1OffsetText = "1.00V";  // ground 100 - 25 * 1 / 0.5 = 50 rows down
        build.byte(13, 1);
    }

    SlotBuilder build;
};

// Columns 10 to 20: CH1 and MATH from half a column before them (the start of the trace's first
// segment), the logic lines' two words a column from column 10 on; a row per half column.
TEST_F(SampleTable, YtRowsAreEverySampleTimeWithVoltsAndLogicLevels) {
    captureCh1();
    slot().CapturedCh2 = true;  // captured, but the instrument sent no trace
    slot().Ch2Samples = countingSamples();
    slot().CapturedMath = true;
    slot().MathSamples = countingSamples();
    build.byte(15, 1).int16(24, -20).single(28, 2.0f);  // ground 120 rows down, 2 V/div
    slot().CapturedLa = true;
    slot().LaSamples = Samples(acquisition::ScopeState::SampleCount, 0x80);
    for (int j = 0; j < 24; ++j) slot().LaSamples[4 * 10 + 425 + 2 * j] = j;
    build.byte(70, 1);

    const Table table = readBack(slot());
    QStringList expected{"time (s)", "CH1 (V)", "MATH (V)"};
    for (int line = 0; line < 16; ++line) expected << QString("D%1").arg(line);
    EXPECT_EQ(table.header, expected);
    ASSERT_EQ(table.rows.size(), 23u) << "half columns 9.5 to 20.5";
    for (size_t row = 0; row < table.rows.size(); ++row) {
        SCOPED_TRACE(row);
        const double place = 9.5 + 0.5 * static_cast<double>(row);
        const int n = static_cast<int>(row);
        EXPECT_DOUBLE_EQ(*table.at(row, "time (s)"), (place - 100) * 0.001 / 25);
        if (place <= 20) {
            EXPECT_DOUBLE_EQ(*table.at(row, "CH1 (V)"), (50 - (233 + n) % 200) * 0.5 / 25);
            EXPECT_DOUBLE_EQ(*table.at(row, "MATH (V)"), (120 - (21 + n)) * 2.0 / 25);
        } else {
            EXPECT_FALSE(table.at(row, "CH1 (V)"));
            EXPECT_FALSE(table.at(row, "MATH (V)"));
        }
        if (place < 10) {
            EXPECT_FALSE(table.at(row, "D0"));
            continue;
        }
        const int word = n - 1;
        EXPECT_EQ(*table.at(row, "D0"), word & 1);
        EXPECT_EQ(*table.at(row, "D3"), (word >> 3) & 1);
        EXPECT_EQ(*table.at(row, "D15"), 1) << "the high byte is 0x80";
        EXPECT_EQ(*table.at(row, "D14"), 0);
    }
}

TEST_F(SampleTable, ASourceWhoseBlockDidNotComeWithTheUploadHasNoColumn) {
    captureCh1();
    slot().CapturedMath = true;
    slot().MathSamples = countingSamples();  // an earlier upload's
    build.byte(15, 1);
    slot().Parts = {{"SystemBlock", ""}, {"CH1", ""}, {"MATH", "time-out"}};
    EXPECT_EQ(readBack(slot()).header, (QStringList{"time (s)", "CH1 (V)"}));
}

// CH1 on columns 0..4 (elements 213..222), CH2 on 5..9 (223..232), each half on its own time base.
TEST_F(SampleTable, AlternateTriggerHasATimeColumnPerHalfAndEachChannelItsOwnWindow) {
    captureCh1();
    slot().CapturedCh2 = true;
    slot().Ch2Samples = countingSamples();
    slot().Ch2ScaleText = "1.00V";
    slot().Ch2OffsetText = "0.00uV";
    build.byte(14, 1).int16(4, 0).int16(6, 4).int16(8, 5).int16(10, 9);
    slot().TriggerMode = "ALTERNATION";
    slot().AltCh1TimeScaleText = "1.000us";
    slot().AltCh1TimeOffsetText = "0.000s";
    slot().AltCh2TimeScaleText = "10.00us";
    slot().AltCh2TimeOffsetText = "-20.00us";  // the trigger at column 200

    const Table table = readBack(slot());
    EXPECT_EQ(table.header, (QStringList{"CH1 time (s)", "CH2 time (s)", "CH1 (V)", "CH2 (V)"}));
    ASSERT_EQ(table.rows.size(), 20u) << "half columns -0.5 to 9";
    for (size_t row = 0; row < 20; ++row) {
        const double place = -0.5 + 0.5 * static_cast<double>(row);
        EXPECT_NEAR(*table.at(row, "CH1 time (s)"), (place - 150) * 1e-6 / 25, 1e-15);
        EXPECT_NEAR(*table.at(row, "CH2 time (s)"), (place - 200) * 10e-6 / 25, 1e-15);
        EXPECT_EQ(table.at(row, "CH1 (V)").has_value(), place <= 4) << place;
        EXPECT_EQ(table.at(row, "CH2 (V)").has_value(), place >= 4.5) << place;
    }
    EXPECT_DOUBLE_EQ(*table.at(0, "CH1 (V)"), (50 - 213 % 200) * 0.5 / 25);
    EXPECT_DOUBLE_EQ(*table.at(19, "CH2 (V)"), (100 - 232 % 200) * 1.0 / 25);
}

// An FFT of span code 4 (500 data columns) centred on data column 160: screen columns 0..240
// show data columns 10..250, element 2d + 2 for data column d, from half a column before it.
void captureFft(SlotBuilder& build, bool fullScreen) {
    build.slot.CapturedMath = true;
    build.slot.FftDisplay = "ON";
    build.byte(34, 1).byte(37, fullScreen).byte(38, 1).single(40, 10.0f).int16(52, 40);
    build.single(56, 1000.0f).int16(60, 4).int16(68, 160);
}

TEST_F(SampleTable, FftColumnsGiveTheFrequencyAndTheLevelInTheReportedUnit) {
    captureFft(build, true);
    slot().FftSamples = countingSamples();
    const Table table = readBack(slot());
    EXPECT_EQ(table.header, (QStringList{"time (s)", "FFT frequency (Hz)", "FFT (dBVrms)"}));
    ASSERT_EQ(table.rows.size(), 480u) << "elements 21 to 500";
    for (size_t row : {size_t{0}, size_t{77}, size_t{479}}) {
        const int element = 21 + static_cast<int>(row);
        EXPECT_DOUBLE_EQ(*table.at(row, "FFT frequency (Hz)"), (element - 2) / 2.0 * 1000 / 25);
        EXPECT_DOUBLE_EQ(*table.at(row, "FFT (dBVrms)"), (60 - element % 200) * 10.0 / 25);
    }
}

// The instrument sends a split-screen FFT's rows at half height, 12.5 rows down its half: the
// same spectrum reads the same levels either way.
TEST_F(SampleTable, ASplitScreenFftReadsAsTheSameSpectrumOnTheFullScreen) {
    Samples full(acquisition::ScopeState::SampleCount, 199);
    Samples split(acquisition::ScopeState::SampleCount, 199);
    for (size_t i = 0; i < full.size(); ++i) {
        const int row = 25 + 2 * static_cast<int>(i * 7 % 88);  // rows 25..199
        full[i] = row;
        split[i] = (row - 25) / 2;
    }
    captureFft(build, true);
    slot().FftSamples = full;
    const Table wholeScreen = readBack(slot());
    captureFft(build, false);
    slot().FftSamples = split;
    const Table halfScreen = readBack(slot());
    ASSERT_EQ(halfScreen.rows.size(), wholeScreen.rows.size());
    for (size_t row = 0; row < wholeScreen.rows.size(); ++row)
        EXPECT_EQ(halfScreen.at(row, "FFT (dBVrms)"), wholeScreen.at(row, "FFT (dBVrms)")) << row;
}

TEST_F(SampleTable, XyRowsArePointsOfBothChannels) {
    slot().IsYT = false;
    slot().IsXY = true;
    captureCh1();
    slot().Ch2Samples = countingSamples();
    slot().Ch2ScaleText = "2.00V";
    slot().Ch2OffsetText = "0.00uV";
    const Table table = readBack(slot());
    EXPECT_EQ(table.header, (QStringList{"point", "CH1 (V)", "CH2 (V)"}));
    ASSERT_EQ(table.rows.size(), 600u);
    EXPECT_DOUBLE_EQ(*table.at(0, "CH1 (V)"), (50 - 13) * 0.5 / 25) << "element 213";
    EXPECT_DOUBLE_EQ(*table.at(599, "CH2 (V)"), (100 - 812 % 200) * 2.0 / 25) << "element 812";
}

// A saved upload whose arrays end early gives the samples they hold, and its points count no
// further than they reach.
TEST_F(SampleTable, ArraysShorterThanTheScreenGiveTheSamplesTheyHold) {
    captureCh1();
    build.int16(0, 0).int16(2, 299);
    slot().Ch1Samples.resize(300);  // elements 213..299 of 213..812
    EXPECT_EQ(readBack(slot()).rows.size(), 87u);
    slot().IsYT = false;
    slot().IsXY = true;
    slot().Ch2Samples = countingSamples();
    slot().PointCount = 100000;
    EXPECT_EQ(readBack(slot()).rows.size(), 87u);
}

TEST_F(SampleTable, DecimalPointsStayPointsInACommaLocale) {
    captureCh1();
    testing::CommaDecimalLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no comma locale here";
    std::string error;
    const std::string csv = samplesCsv(slot(), error).value_or("");
    EXPECT_NE(csv.find("\n-0.0036,0.32\n"), std::string::npos) << csv.substr(0, 80);
}

TEST_F(SampleTable, AnUploadWithoutSamplesIsRefusedWithItsReason) {
    std::string error;
    EXPECT_FALSE(samplesCsv(slot(), error));
    EXPECT_EQ(error, "the upload holds no samples");
    slot().IsYT = false;
    EXPECT_FALSE(samplesCsv(slot(), error));
    EXPECT_EQ(error, "the upload is in scan format, whose samples the instrument does not send");
    slot().HasData = false;
    EXPECT_FALSE(samplesCsv(slot(), error));
    EXPECT_EQ(error, "nothing has been uploaded");
}

}  // namespace
}  // namespace tracebay::exporting
