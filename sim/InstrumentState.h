#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tracebay::sim {

struct Identity {
    std::string maker = "KAVLO TECHNOLOGIES";
    std::string model = "QM1102D";
    std::string serial = "QM11020000042";
    std::string firmware = "01.01.03";

    // Models whose name ends in D carry the 16 logic inputs.
    bool hasLogicAnalyzer() const { return !model.empty() && model.back() == 'D'; }
};

// Uart: the serial preset's byte stream on CH1, 0 V or `amplitude`.
enum class Waveshape { Sine, Square, Uart };

// What is connected to an input: a signal generator.
struct Generator {
    Waveshape shape = Waveshape::Sine;
    double amplitude = 1.5;     // volts, peak
    double frequency = 1000.0;  // hertz
};

// What drives the logic inputs: a binary counter, or the serial preset's buses.
enum class LogicPattern { Counter, SerialBuses };

struct Channel {
    bool on = true;
    double scale = 0.5;   // volts per division
    double offset = 0.0;  // volts; positive moves the trace up
    Generator input;
};

struct TimeBase {
    double scale = 500e-6;  // seconds per division
    double offset = 0.0;    // seconds; the trigger point moves left as it grows
};

enum class TriggerMode { Edge, Pulse, Slope, Video, Alternation };
enum class TimeFormat { YT, XY, Scanning };
enum class MathOperation : uint8_t { Add = 0, Subtract = 1, Multiply = 2, Fft = 3 };
enum class Trace { Ch1, Ch2, Math, La, Ref };
enum class Menu {
    None,
    Ch1,
    Ch2,
    Math,
    La,
    Ref,
    Time,
    Trigger,
    Measure,
    Acquire,
    Storage,
    Cursor,
    Display,
    Utility
};

struct FftSettings {
    bool fullScreen = false;
    bool dbScale = true;
    double scale = 10.0;    // dB or volts rms per division
    int offsetRows = 75;    // ground row above the centre line, in screen rows
    int spanCode = 4;       // 1..7
    int centre = 150;       // data column shown at the screen centre
    bool lowerHalf = true;  // alternate trigger: the FFT takes the lower half
};

struct LogicSettings {
    bool on = false;
    uint16_t mask = 0x00FF;
    std::array<int16_t, 16> positions{};  // screen row of each line's low level, 25 = top
    uint8_t selectedLine = 0;
    uint8_t heightLow = 9;   // level height of D0..D7 in rows, plus one
    uint8_t heightHigh = 9;  // ... of D8..D15
    double clockHz = 10000;  // the counter on the inputs
    LogicPattern pattern = LogicPattern::Counter;
};

struct InstrumentState {
    std::array<Channel, 2> channels;
    bool mathOn = false;
    MathOperation mathOperation = MathOperation::Add;
    double mathScale = 1.0;  // volts (or square volts) per division
    int mathOffsetRows = 0;
    FftSettings fft;
    LogicSettings la;

    TimeBase timebase;
    TriggerMode triggerMode = TriggerMode::Edge;
    std::array<TimeBase, 2> altTimebase;  // alternate trigger: CH1 and CH2 halves
    int altSource = 0;                    // which half the alternate queries read
    double triggerLevel = 0.0;            // volts, on the trigger source
    bool running = true;
    TimeFormat format = TimeFormat::YT;

    Trace selected = Trace::Ch1;
    Menu menu = Menu::None;
    bool menuDisplay = true;
    bool keyLocked = false;
    bool fineVertical = false;
    uint32_t acquisitions = 0;  // data blocks taken while running; moves untriggered traces

    bool fftShown() const { return mathOn && mathOperation == MathOperation::Fft; }
};

// The state after power-on, and after AUTO for the settings AUTO resets.
InstrumentState defaultState();

}  // namespace tracebay::sim
