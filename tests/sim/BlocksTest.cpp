#include "sim/Blocks.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sim/Presets.h"

namespace tracebay::sim {
namespace {

// Readers written against the block layout, independent of the encoder.
int byteAt(const SystemBlockBytes& b, size_t at) { return b[at]; }
int int16At(const SystemBlockBytes& b, size_t at) {
    return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}
float singleAt(const SystemBlockBytes& b, size_t at) {
    const uint32_t bits =
        b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
// Sample element e of a block, counted from 1 as the program counts.
int element(const std::string& block, int e) { return static_cast<uint8_t>(block.at(e - 1)); }

InstrumentState distinctive() {
    InstrumentState s = defaultState();
    s.channels[0].on = true;
    s.channels[1].on = false;
    s.mathOn = true;
    s.mathOperation = MathOperation::Multiply;
    s.mathScale = 0.25;
    s.mathOffsetRows = -30;
    s.fft.lowerHalf = true;
    s.fft.fullScreen = true;
    s.fft.dbScale = false;
    s.fft.scale = 0.5;
    s.fft.offsetRows = 40;
    s.fft.spanCode = 6;
    s.fft.centre = 321;
    s.la.on = true;
    s.la.mask = static_cast<uint16_t>(0xA5C3);
    for (int k = 0; k < 16; ++k) s.la.positions[k] = static_cast<int16_t>(30 + 11 * k);
    s.la.selectedLine = 12;
    s.la.heightLow = 11;
    s.la.heightHigh = 6;
    return s;
}

TEST(SystemBlock, EveryFieldSitsAtItsOffset) {
    const auto b = systemBlock(distinctive(), true);
    EXPECT_EQ(int16At(b, 0), 0);                                 // ScreenStart
    EXPECT_EQ(int16At(b, 2), 299);                               // ScreenEnd
    EXPECT_EQ(int16At(b, 4), 0);                                 // AltUpperStart
    EXPECT_EQ(int16At(b, 6), 299);                               // AltUpperEnd
    EXPECT_EQ(int16At(b, 8), 0);                                 // AltLowerStart
    EXPECT_EQ(int16At(b, 10), 299);                              // AltLowerEnd
    EXPECT_EQ(byteAt(b, 13), 1);                                 // Ch1Valid
    EXPECT_EQ(byteAt(b, 14), 0);                                 // Ch2Valid
    EXPECT_EQ(byteAt(b, 15), 1);                                 // MathValid
    EXPECT_EQ(byteAt(b, 16), 2);                                 // MathOperation
    EXPECT_EQ(int16At(b, 24), -30);                              // MathOffsetRows
    EXPECT_FLOAT_EQ(singleAt(b, 28), 0.25f);                     // MathScale
    EXPECT_EQ(byteAt(b, 34), 0);                                 // FftValid
    EXPECT_EQ(byteAt(b, 35), 1);                                 // FftLowerHalf
    EXPECT_EQ(byteAt(b, 37), 1);                                 // FftFullScreen
    EXPECT_EQ(byteAt(b, 38), 0);                                 // FftDbScale
    EXPECT_FLOAT_EQ(singleAt(b, 40), 0.5f);                      // FftScale
    EXPECT_EQ(int16At(b, 52), 40);                               // FftOffsetRows
    EXPECT_FLOAT_EQ(singleAt(b, 56), 25 * (50 / 500e-6) / 100);  // FftHzPerDiv, span 100
    EXPECT_EQ(int16At(b, 60), 6);                                // FftSpanCode
    EXPECT_EQ(int16At(b, 68), 321);                              // FftCentre
    EXPECT_EQ(byteAt(b, 70), 1);                                 // LaValid
    EXPECT_EQ(static_cast<uint16_t>(int16At(b, 72)), 0xA5C3);    // LaLineMask
    for (size_t k = 0; k < 16; ++k)
        EXPECT_EQ(int16At(b, 74 + 2 * k), 30 + 11 * static_cast<int>(k));
    EXPECT_EQ(byteAt(b, 106), 12);  // LaSelectedLine
    EXPECT_EQ(byteAt(b, 107), 11);  // LaGroupHeightLow
    EXPECT_EQ(byteAt(b, 108), 6);   // LaGroupHeightHigh
}

TEST(SystemBlock, FftShownMarksFftValidNotMathValid) {
    auto s = defaultState();
    s.mathOn = true;
    s.mathOperation = MathOperation::Fft;
    const auto b = systemBlock(s, true);
    EXPECT_EQ(byteAt(b, 15), 0);
    EXPECT_EQ(byteAt(b, 16), 3);
    EXPECT_EQ(byteAt(b, 34), 1);
}

TEST(SystemBlock, LogicDataNeedsTheLogicAnalyzer) {
    auto s = defaultState();
    s.la.on = true;
    EXPECT_EQ(byteAt(systemBlock(s, true), 70), 1);
    EXPECT_EQ(byteAt(systemBlock(s, false), 70), 0);
}

TEST(SystemBlock, ScanFormatFillsPartOfTheScreen) {
    auto s = *presetState("scan");
    const int end = int16At(systemBlock(s, true), 2);
    EXPECT_GT(end, 0);
    EXPECT_LT(end, 299);
}

// A slow square wave of +-1 V at 1 V/div: -1 V (row 125) left of the trigger, +1 V (row 75)
// from the trigger at the screen centre on.
InstrumentState squareAtOneVolt() {
    auto s = defaultState();
    for (auto& ch : s.channels) ch = {true, 1.0, 0.0, {Waveshape::Square, 1.0, 10.0}};
    s.triggerLevel = 0;
    return s;
}

TEST(WaveformBlock, ChannelColumnsSitAtTwiceTheColumnPlus214) {
    const auto block = waveformBlock(squareAtOneVolt(), Source::Channel1);
    EXPECT_EQ(block.size(), static_cast<size_t>(ChannelBlockLength));
    EXPECT_EQ(element(block, 214), 151);  // column 0
    EXPECT_EQ(element(block, 2 * 149 + 214), 151);
    EXPECT_EQ(element(block, 2 * 150 + 214), 101);  // the trigger point
    EXPECT_EQ(element(block, 2 * 299 + 215), 101);  // last column, second sample
    EXPECT_EQ(element(block, 213), 151);            // the sample before column 0
    for (int e = 1; e <= 212; ++e) ASSERT_EQ(element(block, e), 0) << e;
}

TEST(WaveformBlock, OffsetMovesTheTraceUp) {
    auto s = squareAtOneVolt();
    s.channels[1].offset = 1.0;  // ground one division up
    const auto block = waveformBlock(s, Source::Channel2);
    EXPECT_EQ(element(block, 2 * 200 + 214), 26 + 50);
    EXPECT_EQ(element(block, 2 * 100 + 214), 26 + 100);
}

TEST(WaveformBlock, MathColumnsSitAtTwiceTheColumnPlus2) {
    auto s = squareAtOneVolt();
    s.mathOn = true;
    s.mathOperation = MathOperation::Add;
    s.mathScale = 1.0;
    const auto block = waveformBlock(s, Source::Math);
    EXPECT_EQ(element(block, 2), 26 + 150);           // column 0: -2 V
    EXPECT_EQ(element(block, 2 * 150 + 2), 26 + 50);  // +2 V
    EXPECT_EQ(element(block, 2 * 299 + 3), 26 + 50);
}

TEST(WaveformBlock, FftPeakLandsOnTheSignalsDataColumn) {
    auto s = defaultState();
    s.channels[0].input = {Waveshape::Sine, 1.0, 2000.0};
    s.timebase.scale = 1e-3;  // 50 kHz sampling; span 500: 100 Hz per data column
    s.mathOn = true;
    s.mathOperation = MathOperation::Fft;
    s.fft.fullScreen = true;
    const auto block = waveformBlock(s, Source::Fft);
    EXPECT_EQ(block.size(), 504u);
    int peak = 2;
    for (int e = 2; e <= 502; ++e)
        if (element(block, e) < element(block, peak)) peak = e;
    EXPECT_EQ(peak, 2 * 20 + 2);
    // 1 V peak is -3 dB rms: 0.3 division below the 0 dB row (25).
    EXPECT_NEAR(element(block, peak), 26 + 25 + 3.01 / 10 * 25, 1);
}

TEST(WaveformBlock, SplitScreenFftIsSentForItsHalf) {
    auto s = defaultState();
    s.mathOn = true;
    s.mathOperation = MathOperation::Fft;
    s.fft.fullScreen = true;
    const auto full = waveformBlock(s, Source::Fft);
    s.fft.fullScreen = false;
    const auto split = waveformBlock(s, Source::Fft);
    // Half the rows, and 12.5 rows up: the program draws value v at v + 12.5 in its half.
    for (int e = 1; e <= static_cast<int>(full.size()); ++e) {
        if (element(full, e) == 255) continue;
        ASSERT_NEAR(element(split, e) - 26, (element(full, e) - 26) / 2.0 - 12.5, 1) << e;
    }
}

TEST(WaveformBlock, LogicSamplesOfAColumnStartAtFourTimesTheColumnPlus425) {
    auto s = defaultState();
    s.la.clockHz = 10000;  // one count per 100 us; 10 us per sample at 500 us/div
    const auto block = waveformBlock(s, Source::Digital);
    EXPECT_EQ(block.size(), static_cast<size_t>(DigitalBlockLength));
    const auto sample = [&](int column, int half) {
        const int e = 4 * column + 425 + 2 * half;
        return element(block, e) | (element(block, e + 1) << 8);
    };
    EXPECT_EQ(sample(1, 0), 9970);  // 1 s - 2.98 ms
    EXPECT_EQ(sample(6, 0), 9971);
    EXPECT_EQ(sample(6, 1), 9971);
    for (int e = 1; e < 425; ++e) ASSERT_EQ(element(block, e), 0) << e;
}

// A slow time base or a long delay puts columns before the counter's start: it reads what the
// counter showed then, wrapped round its 16 bits.
TEST(WaveformBlock, LogicSamplesBeforeTheCounterStartedWrapRound) {
    auto s = defaultState();
    s.la.clockHz = 10000;
    s.timebase.scale = 1;  // column 0 lies 6 s before the trigger, 5 s before the count began
    const auto block = waveformBlock(s, Source::Digital);
    const auto sample = [&](int column) {
        return element(block, 4 * column + 425) | (element(block, 4 * column + 426) << 8);
    };
    EXPECT_EQ(sample(0), 65536 - 50000);
    EXPECT_EQ(sample(1), 65536 - 49600);
    for (double offset : {-1e300, -1e9, 1e9, 1e300}) {
        s.timebase.offset = offset;
        EXPECT_EQ(waveformBlock(s, Source::Digital).size(), size_t{DigitalBlockLength});
    }
}

TEST(WaveformBlock, NoBlockIsLongerThanTheProgramTakes) {
    for (int code = 0; code <= 8; ++code) {
        auto s = defaultState();
        s.fft.spanCode = code;
        for (auto source :
             {Source::Channel1, Source::Channel2, Source::Math, Source::Fft, Source::Digital})
            EXPECT_LE(waveformBlock(s, source).size(), 6200u);
    }
}

TEST(WaveformBlock, FftBlockCoversEveryColumnTheDisplayReads) {
    auto s = defaultState();
    s.fft.spanCode = 1;  // 5000
    EXPECT_EQ(waveformBlock(s, Source::Fft).size(), 5004u);
}

TEST(WaveformBlock, FreeRunningSweepMovesBetweenAcquisitions) {
    auto s = defaultState();
    s.triggerLevel = 5;  // above the signal: no trigger
    const auto first = waveformBlock(s, Source::Channel1);
    ++s.acquisitions;
    EXPECT_NE(waveformBlock(s, Source::Channel1), first);
    s.triggerLevel = 0;
    const auto held = waveformBlock(s, Source::Channel1);
    ++s.acquisitions;
    EXPECT_EQ(waveformBlock(s, Source::Channel1), held);
}

}  // namespace
}  // namespace tracebay::sim
