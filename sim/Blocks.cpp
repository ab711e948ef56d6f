#include "sim/Blocks.h"

#include <cmath>
#include <cstring>

#include "sim/SerialBuses.h"
#include "sim/Signals.h"
#include "sim/Spectrum.h"

namespace tracebay::sim {
namespace {

class ByteWriter {
public:
    explicit ByteWriter(SystemBlockBytes& bytes) : bytes_(bytes) {}
    void byte(size_t at, int value) { bytes_[at] = static_cast<uint8_t>(value); }
    void int16(size_t at, int value) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
        bytes_[at] = static_cast<uint8_t>(v & 0xFF);
        bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void single(size_t at, double value) {
        const auto f = static_cast<float>(value);
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        for (size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }

private:
    SystemBlockBytes& bytes_;
};

bool alternate(const InstrumentState& state) {
    return state.triggerMode == TriggerMode::Alternation;
}

const TimeBase& channelTimebase(const InstrumentState& state, int channel) {
    return alternate(state) ? state.altTimebase[channel] : state.timebase;
}

// Element e of a block (counted from 1) holds the sample of screen column (e - first) / 2.
double elementColumn(int element, int first) { return (element - first) / 2.0; }

std::string channelBlock(const InstrumentState& state, int channel) {
    const Channel& ch = state.channels[channel];
    const TimeBase& timebase = channelTimebase(state, channel);
    const Acquisition acquisition(state, alternate(state) ? channel : 0);
    const double groundRow = voltsRow(ch.offset, ch.scale, ScreenRows / 2.0);
    std::string block(ChannelBlockLength, '\0');
    for (int e = 213; e <= ChannelBlockLength; ++e) {
        const double t = columnTime(timebase, elementColumn(e, 214));
        block[e - 1] = static_cast<char>(
            rowByte(voltsRow(acquisition.volts(channel, t), ch.scale, groundRow)));
    }
    return block;
}

double mathVolts(MathOperation operation, double a, double b) {
    switch (operation) {
        case MathOperation::Subtract: return a - b;
        case MathOperation::Multiply: return a * b;
        default: return a + b;
    }
}

std::string mathBlock(const InstrumentState& state) {
    const int half = alternate(state) ? 1 : 0;  // alternate trigger: MATH shares the CH2 half
    const TimeBase& timebase = channelTimebase(state, half);
    const Acquisition acquisition(state, half);
    const double groundRow = ScreenRows / 2.0 - state.mathOffsetRows;
    std::string block(MathBlockLength, '\0');
    for (int e = 1; e <= MathBlockLength; ++e) {
        const double t = columnTime(timebase, elementColumn(e, 2));
        const double v =
            mathVolts(state.mathOperation, acquisition.volts(0, t), acquisition.volts(1, t));
        block[e - 1] = static_cast<char>(rowByte(voltsRow(v, state.mathScale, groundRow)));
    }
    return block;
}

// Full screen: rows 0..199. Split screen: the program draws value v at v + 12.5 rows of its
// 100-row half, so the half's rows are sent 12.5 rows up.
std::string fftBlock(const InstrumentState& state) {
    const auto spectrum = ch1Spectrum(state);
    const double groundRow = ScreenRows / 2.0 - state.fft.offsetRows;
    std::string block(static_cast<size_t>(fftBlockLength(state.fft.spanCode)), '\0');
    for (int e = 1; e <= static_cast<int>(block.size()); ++e) {
        const size_t h =
            std::min<size_t>(static_cast<size_t>(std::abs(e - 2)), spectrum.size() - 1);
        double row = voltsRow(spectrum[h], state.fft.scale, groundRow);
        if (!state.fft.fullScreen) row = row / 2 - 12.5;
        block[e - 1] = static_cast<char>(rowByte(row));
    }
    return block;
}

// The 16-bit counter on the inputs at time t. It has counted for a second at the trigger
// point; earlier columns (a slow time base, a delay) read what it showed before, wrapped round.
uint16_t counterAt(double t, double countsPerSecond) {
    const double counts = std::floor((t + 1.0) * countsPerSecond);
    if (!std::isfinite(counts)) return 0;
    const double wrapped = std::fmod(counts, 65536.0);
    return static_cast<uint16_t>(wrapped < 0 ? wrapped + 65536.0 : wrapped);
}

// The inputs carry a binary counter (Dk toggles every 2^k counts), or the serial buses.
std::string digitalBlock(const InstrumentState& state) {
    std::string block(DigitalBlockLength, '\0');
    for (int j = 0; 425 + 2 * j + 1 <= DigitalBlockLength; ++j) {
        const double t = columnTime(state.timebase, j / 2.0);
        const uint16_t count = state.la.pattern == LogicPattern::SerialBuses
                                   ? serialBusWord(t)
                                   : counterAt(t, state.la.clockHz);
        block[424 + 2 * j] = static_cast<char>(count & 0xFF);
        block[425 + 2 * j] = static_cast<char>(count >> 8);
    }
    return block;
}

}  // namespace

int fftBlockLength(int spanCode) { return fftSpan(spanCode) + 4; }

int screenEnd(const InstrumentState& state) {
    if (state.format != TimeFormat::Scanning) return ScreenColumns - 1;
    return 40 + static_cast<int>((state.acquisitions * 37) % 260);
}

SystemBlockBytes systemBlock(const InstrumentState& state, bool hasLogicAnalyzer) {
    SystemBlockBytes bytes{};
    ByteWriter w(bytes);
    w.int16(0, 0);
    w.int16(2, screenEnd(state));
    w.int16(4, 0);
    w.int16(6, ScreenColumns - 1);
    w.int16(8, 0);
    w.int16(10, ScreenColumns - 1);
    w.byte(13, state.channels[0].on);
    w.byte(14, state.channels[1].on);
    w.byte(15, state.mathOn && !state.fftShown());
    w.byte(16, static_cast<int>(state.mathOperation));
    w.int16(24, state.mathOffsetRows);
    w.single(28, state.mathScale);
    w.byte(34, state.fftShown());
    w.byte(35, state.fft.lowerHalf);
    w.byte(37, state.fft.fullScreen);
    w.byte(38, state.fft.dbScale);
    w.single(40, state.fft.scale);
    w.int16(52, state.fft.offsetRows);
    w.single(56, fftHzPerDivision(state));
    w.int16(60, state.fft.spanCode);
    w.int16(68, state.fft.centre);
    const bool la = hasLogicAnalyzer && state.la.on;
    w.byte(70, la);
    w.int16(72, state.la.mask);
    for (size_t k = 0; k < 16; ++k) w.int16(74 + 2 * k, state.la.positions[k]);
    w.byte(106, state.la.selectedLine);
    w.byte(107, state.la.heightLow);
    w.byte(108, state.la.heightHigh);
    return bytes;
}

std::string waveformBlock(const InstrumentState& state, Source source) {
    switch (source) {
        case Source::Channel1: return channelBlock(state, 0);
        case Source::Channel2: return channelBlock(state, 1);
        case Source::Math: return mathBlock(state);
        case Source::Fft: return fftBlock(state);
        case Source::Digital: return digitalBlock(state);
    }
    return {};
}

}  // namespace tracebay::sim
