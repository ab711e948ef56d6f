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

TEST_F(SampleTable, YtRowsAreTheValidColumnsWithTimeVoltsAndLogicLevels) {
    captureCh1();
    slot().CapturedCh2 = true;  // captured, but the instrument sent no trace
    slot().Ch2Samples = countingSamples();
    slot().CapturedMath = true;
    slot().MathSamples = countingSamples();
    build.byte(15, 1).int16(24, -20).single(28, 2.0f);  // ground 120 rows down, 2 V/div
    slot().CapturedLa = true;
    slot().LaSamples = Samples(acquisition::ScopeState::SampleCount, 0x80);
    for (int c = 0; c < 300; ++c) slot().LaSamples[4 * c + 425] = c;
    build.byte(70, 1);

    const Table table = readBack(slot());
    QStringList expected{"time (s)", "CH1 (V)", "MATH (V)"};
    for (int line = 0; line < 16; ++line) expected << QString("D%1").arg(line);
    EXPECT_EQ(table.header, expected);
    ASSERT_EQ(table.rows.size(), 11u) << "columns 10 to 20";
    for (size_t row = 0; row < table.rows.size(); ++row) {
        const int c = 10 + static_cast<int>(row);
        EXPECT_DOUBLE_EQ(*table.at(row, "time (s)"), (c - 100) * 0.001 / 25);
        EXPECT_DOUBLE_EQ(*table.at(row, "CH1 (V)"), (50 - (2 * c + 214) % 200) * 0.5 / 25);
        EXPECT_DOUBLE_EQ(*table.at(row, "MATH (V)"), (120 - (2 * c + 2)) * 2.0 / 25);
        EXPECT_EQ(*table.at(row, "D0"), c & 1);
        EXPECT_EQ(*table.at(row, "D3"), (c >> 3) & 1);
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
    ASSERT_EQ(table.rows.size(), 10u);
    for (size_t row = 0; row < 10; ++row) {
        const int c = static_cast<int>(row);
        EXPECT_NEAR(*table.at(row, "CH1 time (s)"), (c - 150) * 1e-6 / 25, 1e-15);
        EXPECT_NEAR(*table.at(row, "CH2 time (s)"), (c - 200) * 10e-6 / 25, 1e-15);
        EXPECT_EQ(table.at(row, "CH1 (V)").has_value(), c <= 4) << c;
        EXPECT_EQ(table.at(row, "CH2 (V)").has_value(), c >= 5) << c;
    }
    EXPECT_DOUBLE_EQ(*table.at(9, "CH2 (V)"), (100 - (2 * 9 + 214) % 200) * 1.0 / 25);
}

TEST_F(SampleTable, FftColumnsGiveTheFrequencyAndTheLevelInTheReportedUnit) {
    slot().CapturedMath = true;
    slot().FftDisplay = "ON";
    slot().FftSamples = countingSamples();
    // span code 4 (500 columns) centred on data column 160: screen columns 0..240 hold
    // data columns 10..250.
    build.byte(34, 1).byte(38, 1).single(40, 10.0f).int16(52, 40).single(56, 1000.0f);
    build.int16(60, 4).int16(68, 160);

    const Table table = readBack(slot());
    EXPECT_EQ(table.header, (QStringList{"time (s)", "FFT frequency (Hz)", "FFT (dBVrms)"}));
    ASSERT_EQ(table.rows.size(), 241u);
    for (size_t row : {size_t{0}, size_t{77}, size_t{240}}) {
        const int d = static_cast<int>(row) + 10;
        EXPECT_DOUBLE_EQ(*table.at(row, "FFT frequency (Hz)"), d * 1000.0 / 25);
        EXPECT_DOUBLE_EQ(*table.at(row, "FFT (dBVrms)"), (60 - (2 * d + 2) % 200) * 10.0 / 25);
    }
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
