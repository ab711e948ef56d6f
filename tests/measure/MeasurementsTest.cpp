#include "measure/Measurements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>

#include "measure/FigureText.h"
#include "tests/display/SlotBuilder.h"
#include "tests/support/CommaDecimalLocale.h"
#include "tests/support/SessionRig.h"

namespace tracebay::measure {
namespace {

using display::SlotBuilder;
using Samples = acquisition::ScopeState::Samples;
using F = Figure;

const SourceFigures* sourceNamed(const std::vector<SourceFigures>& all, const std::string& name) {
    for (const SourceFigures& s : all)
        if (s.source == name) return &s;
    return nullptr;
}

TEST(Measurements, KnownSignalsOfTheSimulatorsDefaultScreen) {
    testing::SessionRig rig(testing::Transport::Serial);
    ASSERT_TRUE(rig.connect());
    const auto figures = measureUpload(rig.upload(true, true));
    ASSERT_EQ(figures.size(), 3u);
    const SourceFigures& ch1 = figures[0];
    const SourceFigures& ch2 = figures[1];
    EXPECT_EQ(ch1.source, "CH1");
    EXPECT_NEAR(*ch1[F::Vpp], 1.6, 1e-9);
    EXPECT_NEAR(*ch1[F::Vrms], 0.566, 0.005);
    EXPECT_NEAR(*ch1[F::Frequency], 1000, 5);
    EXPECT_NEAR(*ch1[F::CycleMean], 0, 0.01);
    EXPECT_EQ(ch2.source, "CH2");
    EXPECT_NEAR(*ch2[F::Vpp], 2.0, 1e-9);
    EXPECT_NEAR(*ch2[F::Duty], 0.5, 0.01);
    EXPECT_EQ(figures[2].source, "CH1-CH2");
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

// A trapezoid of 1 ms (100 samples) from -1.6 V (row 140) to 1.6 V (row 60), its edges 16 samples
// long, 5 rows a sample: low from 0, rising from 34, high from 50, falling from 84. Its 10 % and
// 90 % lie 1.6 and 14.4 samples into an edge: rise and fall 128 us; it crosses its mid level 8
// samples in.
int trapezoid(int n) {
    const int p = n % 100;
    if (p < 34) return 140;
    if (p < 50) return 140 - 5 * (p - 34);
    if (p < 84) return 60;
    return 60 + 5 * (p - 84);
}

// Noise of -8..8 rows, 10 % of the trapezoid's amplitude either way.
int noise(int n) { return static_cast<int>((n * 7919L + 13) % 17) - 8; }

// The trapezoid's rise resting on its 10 % level (row 132) for samples 30..40 of each period, then
// rising 4 rows a sample to row 60 at 58: 10 % to 90 % from 40 to 56.
int restingOnTenPercent(int n) {
    const int p = n % 100;
    if (p < 30) return 140;
    if (p <= 40) return 132;
    if (p < 58) return 132 - 4 * (p - 40);
    if (p < 84) return 60;
    return 60 + 5 * (p - 84);
}

// `amplitude` rows either side of row `centre`, `period` samples long, from `phase` samples on.
std::function<int(int)> sine(int centre, double amplitude, double period, double phase = 0) {
    return [=](int n) {
        return centre - static_cast<int>(std::lround(
                            amplitude * std::sin(2 * std::numbers::pi * (n + phase) / period)));
    };
}

// CH1 at 1 V per division, its ground on the centre line: 0.04 V a row.
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

// X-Y overdriven on both channels: CH1 as sent, beyond the grid; CH2 held on its edge rows.
void xyOverdrive(SlotBuilder& b) {
    b.slot.IsYT = false;
    b.slot.IsXY = true;
    channel1(b, [](int) { return 100; });
    channel2(b, [](int) { return 100; });
    for (size_t i = 0; i < b.slot.Ch1Samples.size(); ++i) {
        b.slot.Ch1Samples[i] = i % 2 ? -20 : 220;
        b.slot.Ch2Samples[i] = i % 2 ? 0 : 199;
    }
}

// A rise from 2 V below ground to 2 V above it over samples 200 to 220 (ten columns).
int singleEdge(int n) { return n < 200 ? 150 : n > 220 ? 50 : 150 - 5 * (n - 200); }

// An FFT peak at data column 70 (elements 142 and 143) on full-screen row 27, the rest on row 181;
// dB, 10 per division, ground row 60, 1 kHz per division, data column 150 centred. A split screen
// gets the same spectrum as the instrument sends it there, at half height 12.5 rows down.
void fftPeak(SlotBuilder& b, bool fullScreen) {
    b.slot.CapturedMath = true;
    b.slot.FftDisplay = "ON";
    const auto row = [fullScreen](int fullRow) {
        return fullScreen ? fullRow : (fullRow - 25) / 2;
    };
    b.slot.FftSamples = rows(2, [row](int n) { return row(n == 141 || n == 142 ? 27 : 181); });
    b.byte(34, 1).byte(37, fullScreen).byte(38, 1).single(40, 10.0f).int16(52, 40);
    b.single(56, 1000.0f).int16(60, 4).int16(68, 150);
}

// A figure as it should read: a value (within `tolerance`, else exactly but for rounding), or
// null with its reason.
struct Expected {
    Figure figure;
    std::optional<double> value;
    std::string why = "";
    double tolerance = 0;
};

Expected null(Figure figure, std::string_view why) {
    return {figure, std::nullopt, std::string(why)};
}
Expected near(Figure figure, double value, double tolerance) {
    return {figure, value, "", tolerance};
}

struct Crafted {
    const char* what;
    std::function<void(SlotBuilder&)> upload;
    const char* source;
    size_t figureCount;
    std::string clipped;
    std::vector<Expected> expected;
};

constexpr size_t TraceFigures = 19;
constexpr size_t PointFigures = 5;
constexpr std::string_view Top = Why::ClippedTop;
constexpr std::string_view Bottom = Why::ClippedBottom;
constexpr std::string_view Both = Why::ClippedBoth;

// The sample is 10 us (500 us per division) unless a row says otherwise; CH1 0.04 V a row.
const std::vector<Crafted>& craftedUploads() {
    static const std::vector<Crafted> cases = {
        {"square with 30 % duty, its edges between two samples",
         [](SlotBuilder& b) { channel1(b, square(100, 30)); },
         "CH1",
         TraceFigures,
         "",
         {{F::Vmax, 1.0},
          {F::Vmin, -1.0},
          {F::Vpp, 2.0},
          {F::Vmean, -0.4},
          {F::Vrms, 1.0},
          {F::Top, 1.0},
          {F::Base, -1.0},
          {F::Amplitude, 2.0},
          {F::Frequency, 1000.0},
          {F::Period, 1e-3},
          {F::Duty, 0.3},
          {F::PWidth, 3e-4},
          {F::NWidth, 7e-4},
          {F::Overshoot, 0.0},
          {F::CycleMean, -0.4},
          {F::CycleRms, 1.0},
          null(F::Rise, "faster than one sample (< 10 us)"),
          null(F::Fall, "faster than one sample (< 10 us)")}},
        {"flat line",
         [](SlotBuilder& b) { channel1(b, [](int) { return 90; }); },
         "CH1",
         TraceFigures,
         "",
         {{F::Vpp, 0.0},
          {F::Vmean, 0.4},
          {F::Top, 0.4},
          {F::Amplitude, 0.0},
          null(F::Frequency, Why::Flat),
          null(F::Period, Why::Flat),
          null(F::Duty, Why::Flat),
          null(F::Rise, Why::Flat),
          null(F::Overshoot, Why::Flat)}},
        {"a sine clipped at the top: only vmin, base and the period stay",
         [](SlotBuilder& b) {
             channel1(b, [](int n) { return std::max(0, sine(50, 60, 100)(n)); });
         },
         "CH1",
         TraceFigures,
         std::string(Top),
         {null(F::Vmax, Top),
          {F::Vmin, -0.4},
          null(F::Vpp, Top),
          null(F::Vmean, Top),
          null(F::Vrms, Top),
          null(F::Top, Top),
          {F::Base, -0.4},
          null(F::Amplitude, Top),
          {F::Period, 1e-3},
          {F::Frequency, 1000.0},
          null(F::Duty, Top),
          null(F::PWidth, Top),
          null(F::Rise, Top),
          null(F::Overshoot, Top),
          null(F::CycleMean, Top)}},
        {"a square clipped at the bottom",
         [](SlotBuilder& b) { channel1(b, [](int n) { return n % 100 < 50 ? 50 : 199; }); },
         "CH1",
         TraceFigures,
         std::string(Bottom),
         {{F::Vmax, 2.0},
          null(F::Vmin, Bottom),
          null(F::Vpp, Bottom),
          {F::Top, 2.0},
          null(F::Base, Bottom),
          null(F::Amplitude, Bottom),
          {F::Period, 1e-3},
          null(F::Duty, Bottom),
          null(F::NWidth, Bottom),
          null(F::Fall, Bottom),
          null(F::CycleRms, Bottom)}},
        {"X-Y overdrive, CH1 as sent beyond the grid",
         xyOverdrive,
         "CH1",
         PointFigures,
         std::string(Both),
         {null(F::Vmax, Top), null(F::Vmin, Bottom), null(F::Vpp, Both), null(F::Vmean, Both),
          null(F::Vrms, Both)}},
        {"X-Y overdrive, CH2 held on the grid's edges, read alike",
         xyOverdrive,
         "CH2",
         PointFigures,
         std::string(Both),
         {null(F::Vmax, Top), null(F::Vpp, Both), null(F::Vrms, Both)}},
        {"X-Y points within the grid",
         [](SlotBuilder& b) {
             xyOverdrive(b);
             for (size_t i = 0; i < b.slot.Ch1Samples.size(); ++i)
                 b.slot.Ch1Samples[i] = i % 2 ? 75 : 125;
         },
         "CH1",
         PointFigures,
         "",
         {{F::Vpp, 2.0}, {F::Vmean, 0.0}, {F::Vrms, 1.0}}},
        {"an ideal step",
         [](SlotBuilder& b) { channel1(b, [](int n) { return n < 300 ? 150 : 50; }); },
         "CH1",
         TraceFigures,
         "",
         {{F::Top, 2.0},
          {F::Base, -2.0},
          {F::Amplitude, 4.0},
          {F::Overshoot, 0.0},
          {F::Preshoot, 0.0},
          null(F::Rise, "faster than one sample (< 10 us)"),
          null(F::Fall, Why::NoFallingEdge),
          null(F::Period, Why::FewPeriods),
          null(F::CycleMean, Why::FewPeriods)}},
        {"a single edge of ten columns",
         [](SlotBuilder& b) { channel1(b, singleEdge); },
         "CH1",
         TraceFigures,
         "",
         {{F::Vpp, 4.0},
          {F::Vmean, 358.0 / 600},
          {F::Rise, 160e-6},
          null(F::Period, Why::FewPeriods),
          null(F::Duty, Why::NoPositivePulse),
          null(F::Fall, Why::NoFallingEdge)}},
        // 12 rows a sample: the 10 % level 10/12 of a sample into an edge, the 90 % 7.5 samples.
        {"a rise from the screen's first sample",
         [](SlotBuilder& b) {
             channel1(b, [](int n) { return n < 9 ? 150 - 12 * n : n < 300 ? 50 : 150; });
         },
         "CH1",
         TraceFigures,
         "",
         {{F::Top, 2.0}, {F::Base, -2.0}, {F::Rise, (7.5 - 10.0 / 12) * 10e-6}}},
        {"a fall to the screen's last sample",
         [](SlotBuilder& b) {
             channel1(b, [](int n) { return n < 300 ? 150 : n < 592 ? 50 : 50 + 12 * (n - 591); });
         },
         "CH1",
         TraceFigures,
         "",
         {{F::Top, 2.0}, {F::Base, -2.0}, {F::Fall, (7.5 - 10.0 / 12) * 10e-6}}},
        {"a trapezoid",
         [](SlotBuilder& b) { channel1(b, trapezoid); },
         "CH1",
         TraceFigures,
         "",
         {{F::Top, 1.6},
          {F::Base, -1.6},
          {F::Rise, 128e-6},
          {F::Fall, 128e-6},
          {F::Period, 1e-3},
          {F::Duty, 0.5},
          {F::PWidth, 5e-4},
          {F::CycleMean, 0.0},
          {F::CycleRms, std::sqrt(126000.0 / 100) * 0.04}}},
        {"a trapezoid with one glitch sample above its top",
         [](SlotBuilder& b) { channel1(b, [](int n) { return n == 260 ? 10 : trapezoid(n); }); },
         "CH1",
         TraceFigures,
         "",
         {{F::Vmax, 3.6},
          {F::Top, 1.6},
          {F::Base, -1.6},
          {F::Overshoot, 2.0 / 3.2},
          {F::Rise, 128e-6},
          {F::Fall, 128e-6},
          {F::Period, 1e-3},
          {F::Duty, 0.5}}},
        {"a trapezoid with noise of 10 % of its amplitude",
         [](SlotBuilder& b) { channel1(b, [](int n) { return trapezoid(n) + noise(n); }); },
         "CH1",
         TraceFigures,
         "",
         {near(F::Top, 1.6, 0.08), near(F::Base, -1.6, 0.08), near(F::Rise, 128e-6, 13e-6),
          near(F::Fall, 128e-6, 13e-6), near(F::Period, 1e-3, 5e-6), near(F::Duty, 0.5, 0.01)}},
        {"a ramp that fills the screen",
         [](SlotBuilder& b) { channel1(b, [](int n) { return 190 - n * 3 / 10; }); },
         "CH1",
         TraceFigures,
         "",
         {{F::Vmax, 3.56},
          {F::Vmin, -3.6},
          null(F::Top, Why::NoTop),
          null(F::Base, Why::NoBase),
          null(F::Amplitude, Why::NoTop),
          null(F::Rise, Why::NoTop),
          null(F::Period, Why::FewPeriods)}},
        {"1.5 periods of a sine: the screen's mean and the cycle mean",
         [](SlotBuilder& b) { channel1(b, sine(100, 50, 400, 50)); },
         "CH1",
         TraceFigures,
         "",
         {near(F::Vmean, 2 * std::numbers::sqrt2 / (3 * std::numbers::pi), 0.01),
          near(F::CycleMean, 0.0, 0.002),
          near(F::CycleRms, std::numbers::sqrt2, 0.002),
          {F::Top, 2.0},
          {F::Base, -2.0},
          near(F::Period, 4e-3, 1e-6),
          near(F::Frequency, 250, 0.1)}},
        {"2.5 samples a period",
         [](SlotBuilder& b) {
             channel1(b, [](int n) { return std::fmod(n / 2.5, 1) < 0.5 ? 60 : 140; });
         },
         "CH1",
         TraceFigures,
         "",
         {{F::Vpp, 3.2},
          null(F::Frequency, Why::UnderSampled),
          null(F::Period, Why::UnderSampled),
          null(F::Duty, Why::UnderSampled),
          null(F::PWidth, Why::UnderSampled),
          null(F::Rise, Why::UnderSampled),
          null(F::Fall, Why::UnderSampled),
          null(F::CycleMean, Why::UnderSampled)}},
        {"a burst of five pulses every 2 ms: no period, no width",
         [](SlotBuilder& b) {
             channel1(b, [](int n) { return n % 200 < 100 && n % 20 < 10 ? 60 : 140; });
         },
         "CH1",
         TraceFigures,
         "",
         {{F::Top, 1.6},
          null(F::Period, Why::Irregular),
          null(F::Duty, Why::Irregular),
          null(F::PWidth, Why::Irregular),
          null(F::NWidth, Why::Irregular)}},
        {"a trace resting on its 10 % level",
         [](SlotBuilder& b) { channel1(b, restingOnTenPercent); },
         "CH1",
         TraceFigures,
         "",
         {{F::Base, -1.6}, {F::Top, 1.6}, {F::Rise, 160e-6}, {F::Fall, 128e-6}, {F::Period, 1e-3}}},
        {"CH2 a quarter period after CH1",
         [](SlotBuilder& b) {
             channel1(b, trapezoid);
             channel2(b, [](int n) { return trapezoid(n + 75); });
         },
         "CH1-CH2",
         2,
         "",
         {{F::Delay, 250e-6}, {F::Phase, 90.0}}},
        {"CH2 three quarters of a period after CH1",
         [](SlotBuilder& b) {
             channel1(b, trapezoid);
             channel2(b, [](int n) { return trapezoid(n + 25); });
         },
         "CH1-CH2",
         2,
         "",
         {{F::Delay, 750e-6}, {F::Phase, 270.0}}},
        {"CH1 and CH2 in alternate trigger",
         alternate,
         "CH1-CH2",
         2,
         "",
         {null(F::Delay, Why::TwoTimeBases), null(F::Phase, Why::TwoTimeBases)}},
        {"alternate trigger, CH1's time base",
         alternate,
         "CH1",
         TraceFigures,
         "",
         {{F::Period, 2e-6}}},
        {"alternate trigger, CH2's time base",
         alternate,
         "CH2",
         TraceFigures,
         "",
         {{F::Period, 20e-6}}},
        {"MATH on its own scale",
         [](SlotBuilder& b) {
             b.slot.CapturedMath = true;
             b.slot.MathSamples = rows(2, [](int n) { return n % 100 < 50 ? 70 : 120; });
             b.byte(15, 1).int16(24, -20).single(28, 2.0f);  // ground row 120, 2 V per division
         },
         "MATH",
         TraceFigures,
         "",
         {{F::Vmax, 4.0}, {F::Vmin, 0.0}, {F::Vmean, 2.0}, {F::Duty, 0.5}}},
        {"FFT peak, full screen",
         [](SlotBuilder& b) { fftPeak(b, true); },
         "FFT",
         2,
         "",
         {{F::PeakFrequency, 70 * 40.0}, {F::PeakLevel, 13.2}}},
        {"FFT peak, split screen",
         [](SlotBuilder& b) { fftPeak(b, false); },
         "FFT",
         2,
         "",
         {{F::PeakFrequency, 70 * 40.0}, {F::PeakLevel, 13.2}}},
        {"FFT with two equal highest columns: the first",
         [](SlotBuilder& b) {
             fftPeak(b, true);
             b.slot.FftSamples[1 + 181] = 27;
         },
         "FFT",
         2,
         "",
         {{F::PeakFrequency, 70 * 40.0}, {F::PeakLevel, 13.2}}},
        {"FFT peak clipped at the top, alone there",
         [](SlotBuilder& b) {
             fftPeak(b, true);
             b.slot.FftSamples[1 + 141] = 0;
         },
         "FFT",
         2,
         std::string(Top),
         {{F::PeakFrequency, 70 * 40.0}, null(F::PeakLevel, Top)}},
        {"a glitch in the second sample of a column",
         [](SlotBuilder& b) {
             channel1(b, [](int) { return 100; });
             b.slot.Ch1Samples[2 * 150 + 215] = 50;
         },
         "CH1",
         TraceFigures,
         "",
         {{F::Vmax, 2.0}, {F::Vmin, 0.0}}},
    };
    return cases;
}

TEST(Measurements, CraftedUploadsGiveTheirFiguresOrNullWithTheReason) {
    for (const Crafted& c : craftedUploads()) {
        SCOPED_TRACE(c.what);
        SlotBuilder build;
        c.upload(build);
        const auto figures = measureUpload(build.slot);
        const SourceFigures* source = sourceNamed(figures, c.source);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->figures.size(), c.figureCount);
        EXPECT_EQ(source->clipped, c.clipped);
        for (const Expected& expected : c.expected) {
            SCOPED_TRACE(figureKey(expected.figure));
            const Measured* actual = source->find(expected.figure);
            ASSERT_TRUE(actual);
            EXPECT_EQ(actual->why, expected.why);
            ASSERT_EQ(actual->value.has_value(), expected.value.has_value());
            if (!expected.value) continue;
            const double tolerance = expected.tolerance > 0
                                         ? expected.tolerance
                                         : 1e-9 * std::abs(*expected.value) + 1e-12;
            EXPECT_NEAR(*actual->value, *expected.value, tolerance);
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

Measured value(Figure figure, double v, double resolution) { return {figure, v, "", resolution}; }

// A source's row of figures as the table writes them.
struct TextRow {
    const char* what;
    SourceFigures source;
    std::vector<std::pair<Figure, std::string>> texts;
};

TEST(FigureText, ARowIsWrittenAtOneResolutionAndItsFrequencyReadsAsOneOverItsPeriod) {
    const auto period = [](double p, double sample) {
        return std::vector<Measured>{value(F::Frequency, 1 / p, sample / (p * p)),
                                     value(F::Period, p, sample)};
    };
    const TextRow rows[] = {
        {"levels at 5 V per division, a row 0.2 V",
         {"CH1", "V", true, "", {value(F::Vmax, 0.8, 0.2), value(F::Vpp, 1.6, 0.2)}},
         {{F::Vmax, "0.8 V"}, {F::Vpp, "1.6 V"}}},
        {"levels at 500 mV per division",
         {"CH1",
          "V",
          true,
          "",
          {value(F::Vmax, 0.8, 0.02), value(F::Vrms, 0.5657, 0.02), value(F::Vmean, 0, 0.02)}},
         {{F::Vmax, "800 mV"}, {F::Vrms, "570 mV"}, {F::Vmean, "0 mV"}}},
        {"times at 10 us a sample",
         {"CH1", "V", true, "", {value(F::Period, 1e-3, 1e-5), value(F::Rise, 1.6e-4, 1e-5)}},
         {{F::Period, "1.00 ms"}, {F::Rise, "0.16 ms"}}},
        {"a frequency that would not read as one over its period",
         {"CH1", "V", true, "", period(9.51e-5, 1e-5)},
         {{F::Period, "100 us"}, {F::Frequency, "10 kHz"}}},
        {"12345 Hz at a 20 us column, 10 us a sample",
         {"CH1", "V", true, "", period(1 / 12345.0, 1e-5)},
         {{F::Frequency, "12 kHz"}, {F::Period, "80 us"}}},
        {"1 kHz",
         {"CH1", "V", true, "", period(1.006e-3, 1e-5)},
         {{F::Frequency, "994 Hz"}, {F::Period, "1.01 ms"}}},
        {"a null figure",
         {"CH1",
          "V",
          true,
          "",
          {{F::Rise, std::nullopt, "faster than one sample (< 10 us)", 1e-5}}},
         {{F::Rise, "\u2014"}}},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.what);
        const FigureTable table = figureTable({row.source});
        ASSERT_EQ(table.rows.size(), 1u);
        for (const auto& [figure, text] : row.texts) {
            const auto column =
                std::find(table.header.begin(), table.header.end(), figureKey(figure));
            ASSERT_NE(column, table.header.end());
            EXPECT_EQ(table.rows[0][static_cast<size_t>(column - table.header.begin())], text);
        }
    }
}

// A sine of 1 kHz at 0.5 V and 500 us per division, a spectrum at 1 kHz per division, and the
// sine clipped on CH2.
std::vector<SourceFigures> sineAndSpectrum() {
    return {
        {"CH1",
         "V",
         true,
         "",
         {value(F::Vmax, 0.8, 0.02),
          value(F::Vmin, -0.8, 0.02),
          value(F::Vpp, 1.6, 0.02),
          value(F::Vmean, 0.0, 0.02),
          value(F::Vrms, 0.5657, 0.02),
          value(F::Frequency, 1000.0, 10),
          value(F::Period, 1e-3, 1e-5),
          value(F::Duty, 0.5, 0.01),
          value(F::Rise, 2.94e-4, 1e-5),
          {F::Fall, std::nullopt, std::string(Why::NoFallingEdge), 1e-5}}},
        {"CH2",
         "V",
         true,
         std::string(Why::ClippedTop),
         {{F::Vmax, std::nullopt, std::string(Why::ClippedTop), 0.02}, value(F::Vmin, -0.8, 0.02)}},
        {"FFT",
         "dBVrms",
         true,
         "",
         {value(F::PeakFrequency, 2800.0, 40), value(F::PeakLevel, 16.0, 0.4)}},
        {"CH1-CH2", "", false, "", {value(F::Delay, 2.5e-4, 1e-5), value(F::Phase, 90, 3.6)}}};
}

TEST(FigureText, TableHasARowPerSourceAndACellPerFigureItHas) {
    EXPECT_EQ(tabSeparated(figureTable(sineAndSpectrum())),
              "source\tvmax\tvmin\tvpp\tvmean\tvrms\tfrequency\tperiod\tduty\trise\tfall\t"
              "peak_frequency\tpeak_level\tdelay\tphase\n"
              "CH1\t0.80 V\t-0.80 V\t1.60 V\t0.00 V\t0.57 V\t1.00 kHz\t1.00 ms\t50 %\t0.29 ms\t"
              "\u2014\t\t\t\t\n"
              "CH2 (clipped)\t\u2014\t-800 mV\t\t\t\t\t\t\t\t\t\t\t\t\n"
              "FFT\t\t\t\t\t\t\t\t\t\t\t2.80 kHz\t16.0 dBVrms\t\t\n"
              "CH1-CH2\t\t\t\t\t\t\t\t\t\t\t\t\t250 us\t90\u00b0\n");
    const FigureTable named = figureTable(
        sineAndSpectrum(), {nullptr, std::vector{F::Vpp, F::NWidth, F::Fall}, Heading::Names});
    EXPECT_EQ(named.header, (std::vector<std::string>{"Source", "Pk-Pk", "Fall"}));
    EXPECT_EQ(named.notes[0][2], Why::NoFallingEdge) << "a null figure's reason";
    EXPECT_EQ(named.notes[1][0], Why::ClippedTop) << "why the source is marked";
}

// Every column starts where its header does, past a "—" of three bytes and one character.
TEST(FigureText, AlignedTextLinesUpEveryColumnAndGivesTheReasons) {
    const std::string aligned = alignedText(figureTable(sineAndSpectrum()));
    const auto lineOf = [&](size_t n) {
        size_t from = 0;
        for (size_t i = 0; i < n; ++i) from = aligned.find('\n', from) + 1;
        return aligned.substr(from, aligned.find('\n', from) - from);
    };
    EXPECT_EQ(lineOf(0).substr(0, 28), "source         vmax    vmin ");
    EXPECT_EQ(lineOf(1).substr(0, 30), "CH1            0.80 V  -0.80 V");
    EXPECT_EQ(lineOf(2), "CH2 (clipped)  \u2014       -800 mV");
    EXPECT_NE(aligned.find("\n\nCH1 fall: no whole falling edge on the screen\n"
                           "CH2 vmax: clipped at the top of the grid\n"),
              std::string::npos)
        << aligned;
}

TEST(FigureText, JsonInBaseUnitsWithNullAndItsReason) {
    EXPECT_EQ(figuresJson(sineAndSpectrum()),
              "{\n"
              "  \"CH1\": {\"clipped\": false, \"vmax\": 0.8, \"vmin\": -0.8, \"vpp\": 1.6, "
              "\"vmean\": 0, \"vrms\": 0.5657, \"frequency\": 1000, \"period\": 0.001, "
              "\"duty\": 0.5, \"rise\": 0.000294, \"fall\": null, "
              "\"why\": {\"fall\": \"no whole falling edge on the screen\"}},\n"
              "  \"CH2\": {\"clipped\": true, \"vmax\": null, \"vmin\": -0.8, "
              "\"why\": {\"vmax\": \"clipped at the top of the grid\"}},\n"
              "  \"FFT\": {\"clipped\": false, \"peak_frequency\": 2800, \"peak_level\": 16, "
              "\"why\": {}},\n"
              "  \"CH1-CH2\": {\"delay\": 0.00025, \"phase\": 90, \"why\": {}}\n"
              "}\n");
    EXPECT_EQ(figuresJson({}), "{}\n");
}

}  // namespace
}  // namespace tracebay::measure
