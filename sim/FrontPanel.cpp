#include "sim/FrontPanel.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "sim/Signals.h"
#include "sim/Spectrum.h"

namespace tracebay::sim {
namespace {

constexpr double MinVoltsPerDiv = 0.002;
constexpr double MaxVoltsPerDiv = 10.0;
constexpr double MinSecondsPerDiv = 5e-9;
constexpr double MaxSecondsPerDiv = 50.0;
constexpr double DefaultSecondsPerDiv = 500e-6;

int channelOf(Trace trace) { return trace == Trace::Ch2 ? 1 : 0; }

bool isOn(const InstrumentState& s, Trace trace) {
    switch (trace) {
        case Trace::Ch1: return s.channels[0].on;
        case Trace::Ch2: return s.channels[1].on;
        case Trace::Math: return s.mathOn;
        case Trace::La: return s.la.on;
        case Trace::Ref: return false;
    }
    return false;
}

void setOn(InstrumentState& s, Trace trace, bool on) {
    switch (trace) {
        case Trace::Ch1: s.channels[0].on = on; break;
        case Trace::Ch2: s.channels[1].on = on; break;
        case Trace::Math: s.mathOn = on; break;
        case Trace::La: s.la.on = on; break;
        case Trace::Ref: break;
    }
}

Menu menuOf(Trace trace) {
    switch (trace) {
        case Trace::Ch1: return Menu::Ch1;
        case Trace::Ch2: return Menu::Ch2;
        case Trace::Math: return Menu::Math;
        case Trace::La: return Menu::La;
        case Trace::Ref: break;
    }
    return Menu::Ref;
}

void openMenu(InstrumentState& s, Menu menu) {
    s.menu = menu;
    s.menuDisplay = true;
}

// Pressing a trace key turns the trace on and selects it; pressing it again shows its menu.
void traceKey(InstrumentState& s, Trace trace) {
    if (trace != Trace::Ref && !isOn(s, trace)) {
        setOn(s, trace, true);
        s.selected = trace;
    } else if (s.selected != trace) {
        s.selected = trace;
    } else {
        openMenu(s, menuOf(trace));
    }
}

void offKey(InstrumentState& s) {
    setOn(s, s.selected, false);
    for (Trace next : {Trace::Ch1, Trace::Ch2, Trace::Math, Trace::La})
        if (isOn(s, next)) {
            s.selected = next;
            return;
        }
}

TimeBase& activeTimebase(InstrumentState& s) {
    return s.triggerMode == TriggerMode::Alternation ? s.altTimebase[s.altSource] : s.timebase;
}

// One row up (+1) or down (-1) for the selected trace.
void verticalPosition(InstrumentState& s, int direction) {
    switch (s.selected) {
        case Trace::Ch1:
        case Trace::Ch2: {
            Channel& ch = s.channels[channelOf(s.selected)];
            ch.offset = std::clamp(ch.offset + direction * ch.scale / RowsPerDivision,
                                   -10 * ch.scale, 10 * ch.scale);
            break;
        }
        case Trace::Math:
            if (s.fftShown())
                s.fft.offsetRows = std::clamp(s.fft.offsetRows + direction, -100, 100);
            else
                s.mathOffsetRows = std::clamp(s.mathOffsetRows + direction, -100, 100);
            break;
        case Trace::La: {
            auto& row = s.la.positions[s.la.selectedLine % 16];
            row = static_cast<int16_t>(std::clamp(row - direction, 25, 225));
            break;
        }
        case Trace::Ref: break;
    }
}

// The knob push puts the selected trace's ground back on the centre line.
void resetPosition(InstrumentState& s) {
    if (s.selected == Trace::Ch1 || s.selected == Trace::Ch2)
        s.channels[channelOf(s.selected)].offset = 0;
    else if (s.selected == Trace::Math && s.fftShown())
        s.fft.offsetRows = 0;
    else if (s.selected == Trace::Math)
        s.mathOffsetRows = 0;
}

void verticalScale(InstrumentState& s, int direction) {
    if (s.selected == Trace::Ch1 || s.selected == Trace::Ch2) {
        Channel& ch = s.channels[channelOf(s.selected)];
        ch.scale = s.fineVertical ? std::clamp(ch.scale * (direction > 0 ? 1.02 : 1 / 1.02),
                                               MinVoltsPerDiv, MaxVoltsPerDiv)
                                  : step125(ch.scale, direction, MinVoltsPerDiv, MaxVoltsPerDiv);
    } else if (s.selected == Trace::Math) {
        if (s.fftShown())
            s.fft.scale =
                step125(s.fft.scale, direction, s.fft.dbScale ? 1 : 0.001, s.fft.dbScale ? 20 : 10);
        else
            s.mathScale = step125(s.mathScale, direction, 0.001, 100);
    }
}

void horizontalPosition(InstrumentState& s, int direction) {
    TimeBase& tb = activeTimebase(s);
    tb.offset += direction * tb.scale / RowsPerDivision;
}

void horizontalScale(InstrumentState& s, int direction) {
    TimeBase& tb = activeTimebase(s);
    tb.scale = step125(tb.scale, direction, MinSecondsPerDiv, MaxSecondsPerDiv);
}

void triggerLevel(InstrumentState& s, int direction) {
    s.triggerLevel += direction * s.channels[0].scale / RowsPerDivision;
}

template <typename T>
T nextOf(T value, T last) {
    return value == last ? T{} : static_cast<T>(static_cast<int>(value) + 1);
}

// The soft keys F1..F5 act on the menu that is shown.
void softKey(InstrumentState& s, int key) {
    switch (s.menu) {
        case Menu::Ch1:
        case Menu::Ch2:
            if (key == 1) s.channels[s.menu == Menu::Ch2 ? 1 : 0].on ^= true;
            break;
        case Menu::Math:
            if (key == 1) s.mathOperation = nextOf(s.mathOperation, MathOperation::Fft);
            if (key == 2) s.fft.fullScreen = !s.fft.fullScreen;
            if (key == 3) {
                s.fft.dbScale = !s.fft.dbScale;
                s.fft.scale = s.fft.dbScale ? 10 : 0.5;
            }
            if (key == 4) s.fft.spanCode = s.fft.spanCode % 7 + 1;
            break;
        case Menu::La:
            if (key == 1) s.la.selectedLine = static_cast<uint8_t>((s.la.selectedLine + 1) % 16);
            if (key == 2) s.la.mask ^= static_cast<uint16_t>(1u << (s.la.selectedLine % 16));
            if (key == 3)
                s.la.heightLow = s.la.heightHigh = s.la.heightLow >= 13 ? 5 : s.la.heightLow + 2;
            break;
        case Menu::Time:
            if (key == 1) s.format = nextOf(s.format, TimeFormat::Scanning);
            break;
        case Menu::Trigger:
            if (key == 1) s.triggerMode = nextOf(s.triggerMode, TriggerMode::Alternation);
            if (key == 2) s.altSource ^= 1;
            break;
        default: break;
    }
}

// The multi-function knob moves the FFT along its data, or picks a logic line.
void functionKnob(InstrumentState& s, int direction) {
    if (s.menu == Menu::Math && s.fftShown()) {
        const int limit = (fftSpan(s.fft.spanCode) + ScreenColumns) / 2 - 1;
        s.fft.centre = std::clamp(s.fft.centre + 10 * direction, 0, limit);
    } else if (s.menu == Menu::La) {
        s.la.selectedLine = static_cast<uint8_t>((s.la.selectedLine + 16 + direction) % 16);
    }
}

void functionPush(InstrumentState& s) {
    if (s.menu == Menu::Math && s.fftShown()) s.fft.centre = ScreenColumns / 2;
    if (s.menu == Menu::La) s.la.mask ^= static_cast<uint16_t>(1u << (s.la.selectedLine % 16));
}

// AUTO: the settings back to their defaults; which traces are on stays.
void autoSet(InstrumentState& s) {
    const InstrumentState d = defaultState();
    for (int c = 0; c < 2; ++c) {
        s.channels[c].scale = d.channels[c].scale;
        s.channels[c].offset = d.channels[c].offset;
    }
    s.timebase = d.timebase;
    s.altTimebase = d.altTimebase;
    s.triggerMode = d.triggerMode;
    s.triggerLevel = d.triggerLevel;
    s.format = d.format;
    s.mathScale = d.mathScale;
    s.mathOffsetRows = d.mathOffsetRows;
    s.fft = d.fft;
    s.running = true;
}

using KeyAction = std::function<void(InstrumentState&)>;

const std::map<std::string, KeyAction, std::less<>>& keyActions() {
    static const std::map<std::string, KeyAction, std::less<>> actions = {
        {":MNUOFF",
         [](InstrumentState& s) {
             s.menuDisplay = false;
             s.menu = Menu::None;
         }},
        {":F1", [](InstrumentState& s) { softKey(s, 1); }},
        {":F2", [](InstrumentState& s) { softKey(s, 2); }},
        {":F3", [](InstrumentState& s) { softKey(s, 3); }},
        {":F4", [](InstrumentState& s) { softKey(s, 4); }},
        {":F5", [](InstrumentState& s) { softKey(s, 5); }},
        {":-FUNCTION", [](InstrumentState& s) { functionKnob(s, -1); }},
        {":FUNCTION", functionPush},
        {":+FUNCTION", [](InstrumentState& s) { functionKnob(s, +1); }},
        {":MEASURE", [](InstrumentState& s) { openMenu(s, Menu::Measure); }},
        {":ACQUIRE", [](InstrumentState& s) { openMenu(s, Menu::Acquire); }},
        {":STORAGE", [](InstrumentState& s) { openMenu(s, Menu::Storage); }},
        {":CURSOR", [](InstrumentState& s) { openMenu(s, Menu::Cursor); }},
        {":DISPLAY", [](InstrumentState& s) { openMenu(s, Menu::Display); }},
        {":UTILITY", [](InstrumentState& s) { openMenu(s, Menu::Utility); }},
        {":AUTO", autoSet},
        {":RUN", [](InstrumentState& s) { s.running = !s.running; }},
        {":CHANNEL1", [](InstrumentState& s) { traceKey(s, Trace::Ch1); }},
        {":CHANNEL2", [](InstrumentState& s) { traceKey(s, Trace::Ch2); }},
        {":MATH", [](InstrumentState& s) { traceKey(s, Trace::Math); }},
        {":REF", [](InstrumentState& s) { traceKey(s, Trace::Ref); }},
        {":OFF", offKey},
        {":V_POS_INC", [](InstrumentState& s) { verticalPosition(s, +1); }},
        {":V_POS_DEC", [](InstrumentState& s) { verticalPosition(s, -1); }},
        {":PROMPT_V_POS", resetPosition},
        {":V_SCALE_INC", [](InstrumentState& s) { verticalScale(s, +1); }},
        {":V_SCALE_DEC", [](InstrumentState& s) { verticalScale(s, -1); }},
        {":PROMPT_V", [](InstrumentState& s) { s.fineVertical = !s.fineVertical; }},
        {":H_POS_INC", [](InstrumentState& s) { horizontalPosition(s, +1); }},
        {":H_POS_DEC", [](InstrumentState& s) { horizontalPosition(s, -1); }},
        {":PROMPT_H_POS", [](InstrumentState& s) { activeTimebase(s).offset = 0; }},
        {":H_SCALE_INC", [](InstrumentState& s) { horizontalScale(s, +1); }},
        {":H_SCALE_DEC", [](InstrumentState& s) { horizontalScale(s, -1); }},
        {":PROMPT_H", [](InstrumentState& s) { activeTimebase(s).scale = DefaultSecondsPerDiv; }},
        {":MNUTIME", [](InstrumentState& s) { openMenu(s, Menu::Time); }},
        {":MNUTRIG", [](InstrumentState& s) { openMenu(s, Menu::Trigger); }},
        {":TRIG_LVL_INC", [](InstrumentState& s) { triggerLevel(s, +1); }},
        {":TRIG_LVL_DEC", [](InstrumentState& s) { triggerLevel(s, -1); }},
        {":PROMPT_TRIG_LVL", [](InstrumentState& s) { s.triggerLevel = 0; }},
        {":TRIG%50", [](InstrumentState& s) { s.triggerLevel = 0; }},
        {":FORCE", [](InstrumentState& s) { ++s.acquisitions; }},
    };
    return actions;
}

}  // namespace

double step125(double value, int direction, double low, double high) {
    // Index of the nearest 1-2-5 value: three steps to a decade.
    static constexpr double mantissas[] = {1, 2, 5};
    const double logValue = std::log10(value);
    int best = 0;
    double bestDistance = 1e9;
    for (int decade = -10; decade <= 3; ++decade)
        for (int m = 0; m < 3; ++m) {
            const double candidate = std::log10(mantissas[m]) + decade;
            if (std::abs(candidate - logValue) < bestDistance) {
                bestDistance = std::abs(candidate - logValue);
                best = decade * 3 + m;
            }
        }
    const int next = best + (direction > 0 ? 1 : direction < 0 ? -1 : 0);
    const int decade = next >= 0 ? next / 3 : -((-next + 2) / 3);
    const double stepped = mantissas[next - decade * 3] * std::pow(10.0, decade);
    return std::clamp(stepped, low, high);
}

bool pressKey(InstrumentState& state, const Identity& identity, std::string_view name) {
    if (name == ":LA") {
        if (!identity.hasLogicAnalyzer()) return false;
        traceKey(state, Trace::La);
        return true;
    }
    const auto& actions = keyActions();
    const auto action = actions.find(name);
    if (action == actions.end()) return false;
    action->second(state);
    return true;
}

}  // namespace tracebay::sim
