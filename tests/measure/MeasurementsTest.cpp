#include "measure/Measurements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "measure/FigureText.h"
#include "tests/display/SlotBuilder.h"
#include "tests/support/CommaDecimalLocale.h"
#include "tests/support/SessionRig.h"

namespace tracebay::measure {
namespace {

using display::SlotBuilder;
using Samples = acquisition::ScopeState::Samples;
using F = Figure;
constexpr std::optional<double> Null;

const SourceFigures* sourceNamed(const std::vector<SourceFigures>& all, const std::string& name) {
    for (const SourceFigures& s : all)
        if (s.source == name) return &s;
    return nullptr;
}

TEST(Measurements, KnownSignalsOfTheSimulatorsDefaultScreen) {
    testing::SessionRig rig(testing::Transport::Serial);
    ASSERT_TRUE(rig.connect());
    const auto figures = measureUpload(rig.upload(true, true));
    ASSERT_EQ(figures.size(), 2u);
    const SourceFigures& ch1 = figures[0];
    const SourceFigures& ch2 = figures[1];
    EXPECT_EQ(ch1.source, "CH1");
    EXPECT_NEAR(*ch1[F::Vpp], 1.6, 1e-9);
    EXPECT_NEAR(*ch1[F::Vrms], 0.566, 0.005);
    EXPECT_NEAR(*ch1[F::Frequency], 1000, 5);
    EXPECT_EQ(ch2.source, "CH2");
    EXPECT_NEAR(*ch2[F::Vpp], 2.0, 1e-9);
    EXPECT_NEAR(*ch2[F::Duty], 0.5, 0.01);
}

// Screen rows by sample n, the 600 a full-screen trace draws, two a column: element offset - 1 + n,
// half a column apart from half a column before the first column on.
Samples rows(long offset, const std::function<int(int)>& row) {
    Samples samples(acquisition::ScopeState::SampleCount, 100);
    for (int n = 0; n < 600; ++n) samples[static_cast<size_t>(offset - 1 + n)] = row(n);
    return samples;
}

// 1 V above the ground row for `high` of every `period` samples, else 1 V below it.
std::function<int(int)> square(int period, int high) {
    return [=](int c) { return c % period < high ? 75 : 125; };
}

// CH1 at 1 V per division, its ground on the centre line.
void channel1(SlotBuilder& b, const std::function<int(int)>& row) {
    b.slot.CapturedCh1 = true;
    b.slot.Ch1ScaleText = "1.00V";
    b.slot.Ch1OffsetText = "0.00uV";
    b.slot.Ch1Samples = rows(214, row);
    b.byte(13, 1);
}

void channel2(SlotBuilder& b, const std::function<int(int)>& row) {
    b.slot.CapturedCh2 = true;
    b.slot.Ch2ScaleText = "1.00V";
    b.slot.Ch2OffsetText = "0.00uV";
    b.slot.Ch2Samples = rows(214, row);
    b.byte(14, 1);
}

// CH1 on columns 0..149 at 1 us per division, CH2 on 150..299 at 10 us per division.
void alternate(SlotBuilder& b) {
    b.slot.TriggerMode = "ALTERNATION";
    b.slot.AltCh1TimeScaleText = "1.000us";
    b.slot.AltCh1TimeOffsetText = "0.000s";
    b.slot.AltCh2TimeScaleText = "10.00us";
    b.slot.AltCh2TimeOffsetText = "0.000s";
    b.int16(4, 0).int16(6, 149).int16(8, 150).int16(10, 299);
    channel1(b, square(100, 50));
    channel2(b, square(100, 50));
}

// A rise from 2 V below ground to 2 V above it over samples 200 to 220 (ten columns).
int singleEdge(int n) { return n < 200 ? 150 : n > 220 ? 50 : 150 - 5 * (n - 200); }

// An FFT peak at data column 70 (elements 142 and 143) on full-screen row 25, the rest on row 181;
// dB, 10 per division, ground row 60, 1 kHz per division, data column 150 centred. A split screen
// gets the same spectrum as the instrument sends it there, at half height 12.5 rows down.
void fftPeak(SlotBuilder& b, bool fullScreen) {
    b.slot.CapturedMath = true;
    b.slot.FftDisplay = "ON";
    const auto row = [fullScreen](int fullRow) {
        return fullScreen ? fullRow : (fullRow - 25) / 2;
    };
    b.slot.FftSamples = rows(2, [row](int n) { return row(n == 141 || n == 142 ? 25 : 181); });
    b.byte(34, 1).byte(37, fullScreen).byte(38, 1).single(40, 10.0f).int16(52, 40);
    b.single(56, 1000.0f).int16(60, 4).int16(68, 150);
}

struct Crafted {
    const char* what;
    std::function<void(SlotBuilder&)> upload;
    const char* source;
    size_t figureCount;
    std::vector<Measured> expected;
};

// The column is 20 us (500 us per division) unless a row says otherwise.
const std::vector<Crafted>& craftedUploads() {
    static const std::vector<Crafted> cases = {
        {"square with 30 % duty",
         [](SlotBuilder& b) { channel1(b, square(100, 30)); },
         "CH1",
         10,
         {{F::Vmax, 1.0},
          {F::Vmin, -1.0},
          {F::Vpp, 2.0},
          {F::Vmean, -0.4},
          {F::Vrms, 1.0},
          {F::Frequency, 1000.0},
          {F::Period, 1e-3},
          {F::Duty, 0.3},
          {F::Rise, 8e-6},
          {F::Fall, 8e-6}}},
        {"flat line",
         [](SlotBuilder& b) { channel1(b, [](int) { return 90; }); },
         "CH1",
         10,
         {{F::Vpp, 0.0},
          {F::Vmean, 0.4},
          {F::Frequency, Null},
          {F::Period, Null},
          {F::Duty, Null},
          {F::Rise, Null},
          {F::Fall, Null}}},
        {"single edge",
         [](SlotBuilder& b) { channel1(b, singleEdge); },
         "CH1",
         10,
         {{F::Vpp, 4.0},
          {F::Vmean, 358.0 / 600},
          {F::Period, Null},
          {F::Duty, Null},
          {F::Rise, 160e-6},
          {F::Fall, Null}}},
        {"alternate trigger, CH1's time base", alternate, "CH1", 10, {{F::Period, 2e-6}}},
        {"alternate trigger, CH2's time base", alternate, "CH2", 10, {{F::Period, 20e-6}}},
        {"MATH on its own scale",
         [](SlotBuilder& b) {
             b.slot.CapturedMath = true;
             b.slot.MathSamples = rows(2, [](int n) { return n % 100 < 50 ? 70 : 120; });
             b.byte(15, 1).int16(24, -20).single(28, 2.0f);  // ground row 120, 2 V per division
         },
         "MATH",
         10,
         {{F::Vmax, 4.0}, {F::Vmin, 0.0}, {F::Vmean, 2.0}, {F::Duty, 0.5}}},
        {"FFT peak, full screen",
         [](SlotBuilder& b) { fftPeak(b, true); },
         "FFT",
         2,
         {{F::PeakFrequency, 70 * 40.0}, {F::PeakLevel, 14.0}}},
        {"FFT peak, split screen",
         [](SlotBuilder& b) { fftPeak(b, false); },
         "FFT",
         2,
         {{F::PeakFrequency, 70 * 40.0}, {F::PeakLevel, 14.0}}},
        {"a glitch in the second sample of a column",
         [](SlotBuilder& b) {
             channel1(b, [](int) { return 100; });
             b.slot.Ch1Samples[2 * 150 + 215] = 50;
         },
         "CH1",
         10,
         {{F::Vmax, 2.0}, {F::Vmin, 0.0}}},
        {"X-Y points",
         [](SlotBuilder& b) {
             b.slot.IsYT = false;
             b.slot.IsXY = true;
             channel1(b, [](int) { return 100; });
             for (size_t i = 0; i < b.slot.Ch1Samples.size(); ++i)
                 b.slot.Ch1Samples[i] = i % 2 ? 75 : 125;
             channel2(b, [](int) { return 100; });
         },
         "CH1",
         5,
         {{F::Vpp, 2.0}, {F::Vmean, 0.0}, {F::Vrms, 1.0}}},
    };
    return cases;
}

TEST(Measurements, CraftedUploadsGiveTheirFigures) {
    for (const Crafted& c : craftedUploads()) {
        SCOPED_TRACE(c.what);
        SlotBuilder build;
        c.upload(build);
        const auto figures = measureUpload(build.slot);
        const SourceFigures* source = sourceNamed(figures, c.source);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->figures.size(), c.figureCount);
        for (const Measured& expected : c.expected) {
            SCOPED_TRACE(figureKey(expected.figure));
            const auto actual = (*source)[expected.figure];
            ASSERT_EQ(actual.has_value(), expected.value.has_value());
            if (expected.value) {
                EXPECT_NEAR(*actual, *expected.value, 1e-9 * std::abs(*expected.value) + 1e-12);
            }
        }
    }
}

TEST(FigureText, AtMostThreeDigitsAndNoneFinerThanTheScreen) {
    const struct {
        double value;
        double resolution;
        const char* unit;
        bool prefixed;
        const char* text;
    } cases[] = {
        {1.6, 0.02, "V", true, "1.60 V"},
        {0.5657, 0.02, "V", true, "570 mV"},
        {-0.4, 0.04, "V", true, "-400 mV"},
        {0.003, 0.04, "V", true, "0 V"},
        {0.9996, 0.0001, "V", true, "1.00 V"},
        {0.996, 0.02, "V", true, "1.00 V"},
        {0.006, 0.01, "V", true, "10 mV"},
        {1e-3, 2e-5, "s", true, "1.00 ms"},
        {5e-4, 2e-5, "s", true, "500 us"},
        {1000, 20, "Hz", true, "1.00 kHz"},
        {12345, 0, "Hz", true, "12.3 kHz"},
        {-45.23, 0.4, "dBVrms", false, "-45.2 dBVrms"},
        {30, 2, "%", false, "30 %"},
        {std::numeric_limits<double>::quiet_NaN(), 1, "V", true, "\u2014"},
        {1e300, 5e-324, "V", true, "\u2014"},
        {5e-324, 1, "V", true, "0 V"},
    };
    std::unique_ptr<testing::CommaDecimalLocale> comma;
    for (const char* locale : {"C", "comma decimal"}) {
        SCOPED_TRACE(locale);
        for (const auto& c : cases)
            EXPECT_EQ(acquisition::quantityText(c.value, c.resolution, c.unit, c.prefixed), c.text);
        comma = std::make_unique<testing::CommaDecimalLocale>();
    }
}

// A sine of 1 kHz at 0.5 V and 500 us per division, and a spectrum at 1 kHz per division.
std::vector<SourceFigures> sineAndSpectrum() {
    return {{"CH1",
             "V",
             0.02,
             2e-5,
             {{F::Vmax, 0.8},
              {F::Vmin, -0.8},
              {F::Vpp, 1.6},
              {F::Vmean, 0.0},
              {F::Vrms, 0.5657},
              {F::Frequency, 1000.0},
              {F::Period, 1e-3},
              {F::Duty, 0.5},
              {F::Rise, 2.94e-4},
              {F::Fall, Null}}},
            {"FFT", "dBVrms", 0.4, 40, {{F::PeakFrequency, 2800.0}, {F::PeakLevel, 16.0}}}};
}

TEST(FigureText, TableHasARowPerSourceAndACellPerFigureItHas) {
    EXPECT_EQ(tabSeparated(figureTable(sineAndSpectrum())),
              "source\tvmax\tvmin\tvpp\tvmean\tvrms\tfrequency\tperiod\tduty\trise\tfall\t"
              "peak_frequency\tpeak_level\n"
              "CH1\t800 mV\t-800 mV\t1.60 V\t0 V\t570 mV\t1.00 kHz\t1.00 ms\t50 %\t290 us\t"
              "\u2014\t\t\n"
              "FFT\t\t\t\t\t\t\t\t\t\t\t2.80 kHz\t16.0 dBVrms\n");
    const std::string aligned = alignedText(figureTable(sineAndSpectrum()));
    EXPECT_EQ(aligned.substr(0, aligned.find('\n')),
              "source  vmax    vmin     vpp     vmean  vrms    frequency  period   duty  rise    "
              "fall  peak_frequency  peak_level");
}

TEST(FigureText, JsonInBaseUnitsWithNullWhereNotDeterminable) {
    EXPECT_EQ(figuresJson(sineAndSpectrum()),
              "{\n"
              "  \"CH1\": {\"vmax\": 0.8, \"vmin\": -0.8, \"vpp\": 1.6, \"vmean\": 0, "
              "\"vrms\": 0.5657, \"frequency\": 1000, \"period\": 0.001, \"duty\": 0.5, "
              "\"rise\": 0.000294, \"fall\": null},\n"
              "  \"FFT\": {\"peak_frequency\": 2800, \"peak_level\": 16}\n"
              "}\n");
    EXPECT_EQ(figuresJson({}), "{}\n");
}

}  // namespace
}  // namespace tracebay::measure
