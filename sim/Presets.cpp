#include "sim/Presets.h"

namespace tracebay::sim {
namespace {

void plainYt(InstrumentState&) {}

void xy(InstrumentState& s) {
    s.format = TimeFormat::XY;
    // Two sines at 2:3 draw a Lissajous figure.
    s.channels[0] = {true, 0.5, 0.0, {Waveshape::Sine, 1.5, 1000.0}};
    s.channels[1] = {true, 0.5, 0.0, {Waveshape::Sine, 1.5, 1500.0}};
}

void alternate(InstrumentState& s) {
    s.triggerMode = TriggerMode::Alternation;
    s.channels[0].offset = 0.0;
    s.channels[1].offset = 0.0;
    s.channels[1].input.frequency = 2500.0;
    s.altTimebase = {TimeBase{500e-6, 0.0}, TimeBase{200e-6, 100e-6}};
}

// A square wave shows its odd harmonics as a comb.
void fft(InstrumentState& s, bool fullScreen) {
    s.channels[1].on = false;
    s.channels[0] = {true, 0.5, 0.0, {Waveshape::Square, 0.8, 2500.0}};
    s.timebase.scale = 1e-3;
    s.mathOn = true;
    s.mathOperation = MathOperation::Fft;
    s.fft.fullScreen = fullScreen;
    s.selected = Trace::Math;
}

void fftSplit(InstrumentState& s) { fft(s, false); }
void fftFull(InstrumentState& s) { fft(s, true); }

void math(InstrumentState& s) {
    s.mathOn = true;
    s.mathOperation = MathOperation::Subtract;
    s.mathScale = 1.0;
    s.mathOffsetRows = -25;
    s.selected = Trace::Math;
}

void logic(InstrumentState& s) {
    s.la.on = true;
    s.la.mask = 0xFFFF;
    s.la.selectedLine = 3;
    s.la.heightHigh = 7;
    s.channels[1].on = false;
    s.channels[0].offset = 0.0;
    s.channels[0].scale = 2.0;
    s.selected = Trace::La;
}

// Serial buses a screen resolves: 10 us a sample at 500 us a division, about ten a UART bit at
// 9600 baud and a bus bit at 10 kHz; the trigger near the left edge, where the messages start.
void serial(InstrumentState& s) {
    s.la.on = true;
    s.la.pattern = LogicPattern::SerialBuses;
    s.la.mask = 0x003F;
    s.la.selectedLine = 0;
    for (int k = 0; k < 6; ++k) s.la.positions[k] = static_cast<int16_t>(112 + 16 * k);
    // CH1 above the lines: 0 V at row 75, 3.3 V at row 34.
    s.channels[0] = {true, 2.0, 2.0, {Waveshape::Uart, 3.3, 9600.0}};
    s.channels[1].on = false;
    s.timebase = {500e-6, 2.5e-3};
    s.triggerLevel = 1.65;
    s.selected = Trace::La;
}

void scan(InstrumentState& s) {
    s.format = TimeFormat::Scanning;
    s.timebase.scale = 0.1;
    s.channels[0].input.frequency = 0.5;
    s.channels[1].input.frequency = 0.25;
}

}  // namespace

const std::vector<Preset>& presets() {
    static const std::vector<Preset> all = {
        {"yt", "CH1 sine and CH2 square wave on the Y-T screen", plainYt},
        {"xy", "X-Y format: a 2:3 Lissajous figure", xy},
        {"alternate", "alternate trigger: CH1 and CH2 with their own time bases", alternate},
        {"fft-split", "FFT of a square wave on CH1, on a split screen", fftSplit},
        {"fft-full", "FFT of a square wave on CH1, over the whole screen", fftFull},
        {"math", "MATH trace: CH1 - CH2", math},
        {"logic", "all 16 logic lines, D3 highlighted", logic},
        {"serial", "UART on D0 and CH1, I2C on D1/D2, SPI on D3-D5, for the decoders", serial},
        {"scan", "scan format at 100 ms per division", scan},
    };
    return all;
}

std::optional<InstrumentState> presetState(const std::string& name) {
    for (const auto& preset : presets()) {
        if (preset.name != name) continue;
        InstrumentState state = defaultState();
        preset.apply(state);
        return state;
    }
    return std::nullopt;
}

}  // namespace tracebay::sim
