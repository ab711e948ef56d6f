#include "acquisition/ValueText.h"

#include <gtest/gtest.h>

#include "acquisition/NumberFormat.h"

namespace tracebay::acquisition {
namespace {

struct TextRow {
    const char* in;
    const char* out;
};

std::ostream& operator<<(std::ostream& out, const TextRow& row) {
    return out << '"' << row.in << '"';
}

class VoltTexts : public ::testing::TestWithParam<TextRow> {};
TEST_P(VoltTexts, Match) { EXPECT_EQ(VoltToText(GetParam().in), GetParam().out); }
INSTANTIATE_TEST_SUITE_P(
    Rows, VoltTexts,
    ::testing::Values(
        TextRow{"5.000e-01", "500mV"}, TextRow{"1", "1.00V"}, TextRow{"2.5", "2.50V"},
        TextRow{"50", "50.0V"}, TextRow{"0.002", "2.00mV"}, TextRow{"0", "0.00uV"},
        TextRow{"2e7", "??.?V"}, TextRow{"99.999", "100V"}, TextRow{"99.998", "100.0V"},
        TextRow{"-100.5", "-100V"}, TextRow{"-0.1005", "-101mV"}, TextRow{"5e6", "5.00MV"},
        TextRow{"-5e6", "??.?V"}, TextRow{"2000", "2.00kV"}, TextRow{"20000", "20.0kV"},
        TextRow{"200000", "200kV"}, TextRow{"0.02", "20.0mV"}, TextRow{"0.0002", "200uV"},
        TextRow{"0.00002", "20.0uV"}, TextRow{"0.000002", "2.00uV"}, TextRow{"0.0000005", "0.00uV"},
        TextRow{"-0.0000005", "0.00uV"}, TextRow{"-2", "-2.00V"}, TextRow{"-2000", "-2.00kV"},
        TextRow{"-0.002", "-2.00mV"}, TextRow{"-0.000002", "-2.00uV"},
        TextRow{"-2.000e+00\n", "-2.00V"}, TextRow{"", "0.00uV"}, TextRow{"garbage", "0.00uV"},
        TextRow{"9999900", "??.?V"}));

class TimeTexts : public ::testing::TestWithParam<TextRow> {};
TEST_P(TimeTexts, Match) { EXPECT_EQ(TimeToText(GetParam().in), GetParam().out); }
INSTANTIATE_TEST_SUITE_P(Rows, TimeTexts,
                         ::testing::Values(TextRow{"0.0005", "500.0us"},
                                           TextRow{"0.001", "1.000ms"}, TextRow{"2", "2.000s"},
                                           TextRow{"50", "50.00s"}, TextRow{"150", "150.0s"},
                                           TextRow{"-0.0002", "-200.0us"}, TextRow{"0", "0.000s"},
                                           TextRow{"5e-13", "0.000s"}, TextRow{"1000", "1000.0s"},
                                           TextRow{"5.000e-04", "500.0us"},
                                           TextRow{"2e-9", "2.000ns"}, TextRow{"2e-12", "2.000ps"},
                                           TextRow{"-5e-13", "0.000s"}, TextRow{"-50", "-50.00s"},
                                           TextRow{"0.00099", "990.0us"}));

class FreqTexts : public ::testing::TestWithParam<TextRow> {};
TEST_P(FreqTexts, Match) { EXPECT_EQ(FreqToText(GetParam().in), GetParam().out); }
INSTANTIATE_TEST_SUITE_P(Rows, FreqTexts,
                         ::testing::Values(TextRow{"1000", "1.000kHz"}, TextRow{"50", "50.00Hz"},
                                           TextRow{"0.5", "500.0mHz"}, TextRow{"0", "??.???"},
                                           TextRow{"-5", "??.???"}, TextRow{"2.5e9", "2.500GHz"},
                                           TextRow{"1e12", "??.???"}, TextRow{"0.0005", "??.???"},
                                           TextRow{"250000", "250.0kHz"}));

class DbTexts : public ::testing::TestWithParam<TextRow> {};
TEST_P(DbTexts, Match) { EXPECT_EQ(DbToText(GetParam().in), GetParam().out); }
INSTANTIATE_TEST_SUITE_P(Rows, DbTexts,
                         ::testing::Values(TextRow{"150", "150.0dB"}, TextRow{"20", "20.0dB"},
                                           TextRow{"5", "5.00dB"}, TextRow{"-3.5", "-3.50dB"},
                                           TextRow{"10000", "****dB"}, TextRow{"-10000", "-****dB"},
                                           TextRow{"-150", "-150.0dB"}, TextRow{"-20", "-20.0dB"},
                                           TextRow{"10", "10.0dB"}));

struct ParseRow {
    ParsedValue (*parser)(std::string_view);
    const char* text;
    double value;
    bool valid;
};

std::ostream& operator<<(std::ostream& out, const ParseRow& row) {
    return out << '"' << row.text << '"';
}

// Exactly: a prefix divides by its power of ten, which is not the same double as multiplying
// by the inverse.
class Parsers : public ::testing::TestWithParam<ParseRow> {};
TEST_P(Parsers, ReadTheTextBack) {
    const ParsedValue parsed = GetParam().parser(GetParam().text);
    EXPECT_EQ(parsed.value, GetParam().value);
    EXPECT_EQ(parsed.ParsedValueValid, GetParam().valid);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, Parsers,
    ::testing::Values(
        ParseRow{ParseTimeText, "500.0us", 0.0005, true},
        ParseRow{ParseTimeText, "2.000s", 2, true}, ParseRow{ParseTimeText, "1.000ms", 0.001, true},
        ParseRow{ParseTimeText, "2.000ns", 2e-9, true}, ParseRow{ParseTimeText, "3ps", 3e-12, true},
        ParseRow{ParseTimeText, "-200.0us\nrest", -0.0002, true},
        ParseRow{ParseTimeText, "0.000", 0, false},
        ParseRow{ParseTimeText, "2.250ms", 2.250 / 1000, true},
        ParseRow{ParseTimeText, "-200.0us", -200.0 / 1e6, true},
        ParseRow{ParseTimeText, "3.300ns", 3.3 / 1e9, true},
        ParseRow{ParseTimeText, "7.100ps", 7.1 / 1e12, true},
        ParseRow{ParseSmallVoltText, "-101mV", -101.0 / 1000, true},
        ParseRow{ParseSmallVoltText, "2.30uV", 2.3 / 1e6, true},
        ParseRow{ParseVoltText, "4.10kV", 4.1 * 1000, true},
        ParseRow{ParseVoltText, "-3.30mV", -3.3 / 1000, true},
        ParseRow{ParseSmallVoltText, "500mV", 0.5, true},
        ParseRow{ParseSmallVoltText, "2.00kV", 0, false},
        ParseRow{ParseSmallVoltText, "1.00V", 1, true},
        ParseRow{ParseSmallVoltText, "0.00uV", 0, true},
        ParseRow{ParseSmallVoltText, "<2.00mV", 0, false},
        ParseRow{ParseSmallVoltText, "??.?V", 0, false},
        ParseRow{ParseSmallVoltText, "V", 0, false}, ParseRow{ParseSmallVoltText, "", 0, false},
        ParseRow{ParseVoltText, "2.00kV", 2000, true}, ParseRow{ParseVoltText, "5.00MV", 5e6, true},
        ParseRow{ParseVoltText, "200uV", 0.0002, true}, ParseRow{ParseVoltText, "2.00nV", 0, false},
        ParseRow{ParseVoltText, "****dB", 0, false}, ParseRow{ParseVoltText, "1.5>V", 0, false}));

TEST(TrimAtLineFeed, CutsAtTheFirstLineFeed) {
    EXPECT_EQ(TrimAtLineFeed("ON\nOFF\n"), "ON");
    EXPECT_EQ(TrimAtLineFeed("Y-T"), "Y-T");
    EXPECT_EQ(TrimAtLineFeed("\n"), "");
}

TEST(CursorConverters, VoltsBelowOneAreMillivolts) {
    EXPECT_EQ(ConvertVoltToStr(-2), "-2000.0mV");
    EXPECT_EQ(ConvertVoltToStr(0.25), "250.0mV");
    EXPECT_EQ(ConvertVoltToStr(1.25), "1.3V");
}

TEST(CursorConverters, TimeKeepsTheScaledValue) {
    double t = 0.0015;
    EXPECT_EQ(ConvertTimeToStr(t), "1.50ms");
    EXPECT_DOUBLE_EQ(t, 1.5);
    double negative = -0.001;
    EXPECT_EQ(ConvertTimeToStr(negative), "");
    double zero = 0;
    EXPECT_EQ(ConvertTimeToStr(zero), "0.000s");
    double tiny = 1e-13;
    EXPECT_EQ(ConvertTimeToStr(tiny), "");
    double nano = 2.5e-9;
    EXPECT_EQ(ConvertTimeToStr(nano), "2.50ns");
}

TEST(CursorConverters, FrequencyUsesCapitalK) {
    double f = 1500;
    EXPECT_EQ(ConvertFreqToStr(f), "1.50KHz");
    EXPECT_DOUBLE_EQ(f, 1.5);
    double g = 2e9;
    EXPECT_EQ(ConvertFreqToStr(g), "2.00GHz");
    double h = 12.345;
    EXPECT_EQ(ConvertFreqToStr(h), "12.35Hz");
}

TEST(CursorConverters, GetTimeVluSkipsTheMarkCheck) {
    EXPECT_EQ(GetTimeVlu("1.50ms"), 1.5 / 1000);
    EXPECT_EQ(GetTimeVlu("-200.0us"), -200.0 / 1e6);
    EXPECT_DOUBLE_EQ(GetTimeVlu("<1.50ms"), 0);  // no number before the unit
    EXPECT_DOUBLE_EQ(GetTimeVlu("abc"), 0);
}

struct FormatRow {
    double value;
    const char* pattern;
    const char* out;
};

std::ostream& operator<<(std::ostream& out, const FormatRow& row) {
    return out << row.value << " as " << row.pattern;
}

class Formats : public ::testing::TestWithParam<FormatRow> {};
TEST_P(Formats, Match) {
    EXPECT_EQ(formatNumber(GetParam().value, GetParam().pattern), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, Formats,
    ::testing::Values(FormatRow{0.5, "#.00", ".50"}, FormatRow{0.5, "0.00", "0.50"},
                      FormatRow{2.675, "0.00", "2.68"}, FormatRow{-2.675, "0.00", "-2.68"},
                      FormatRow{2.5, "###", "3"}, FormatRow{-2.5, "###", "-3"},
                      FormatRow{99.96, "##.0", "100.0"}, FormatRow{5, "#000.0", "005.0"},
                      FormatRow{1.37, "0%", "137%"}, FormatRow{-3.5, "#0.00dB", "-3.50dB"},
                      FormatRow{0.0001, "#.00", ".00"},
                      FormatRow{1234567.891, "#.00", "1234567.89"},
                      FormatRow{0.999999999, "#0.000", "1.000"}));

}  // namespace
}  // namespace tracebay::acquisition
