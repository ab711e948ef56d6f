#include "sim/Instrument.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "sim/Blocks.h"
#include "sim/FrontPanel.h"
#include "sim/Signals.h"

namespace tracebay::sim {
namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

Reply onOff(bool on) { return Reply::text(on ? "ON" : "OFF"); }

// "ON", "OFF", "1", "0"; nothing for anything else.
std::optional<bool> switchValue(const std::string& parameter) {
    const std::string p = upper(parameter);
    if (p == "ON" || p == "1") return true;
    if (p == "OFF" || p == "0") return false;
    return std::nullopt;
}

// A number parameter, always with "." as its point whatever the process locale.
std::optional<double> numberValue(const std::string& parameter) {
    std::string_view text = parameter;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

const char* triggerModeText(TriggerMode mode) {
    switch (mode) {
        case TriggerMode::Pulse: return "PULSE";
        case TriggerMode::Slope: return "SLOPE";
        case TriggerMode::Video: return "VIDEO";
        case TriggerMode::Alternation: return "ALTERNATION";
        case TriggerMode::Edge: break;
    }
    return "EDGE";
}

const char* formatText(TimeFormat format) {
    switch (format) {
        case TimeFormat::XY: return "X-Y";
        case TimeFormat::Scanning: return "SCANNING";
        case TimeFormat::YT: break;
    }
    return "Y-T";
}

std::optional<Source> sourceNamed(const std::string& name) {
    const std::string n = upper(name);
    if (n == "CHANNEL1") return Source::Channel1;
    if (n == "CHANNEL2") return Source::Channel2;
    if (n == "MATH") return Source::Math;
    if (n == "FFT") return Source::Fft;
    if (n == "DIGITAL") return Source::Digital;
    return std::nullopt;
}

}  // namespace

std::string numberText(double value) {
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 3);
    return std::string(text, written.ptr);
}

Instrument::Instrument(Identity identity, InstrumentState state)
    : identity_(std::move(identity)), state_(std::move(state)) {
    add("*IDN?", [this](const std::string&) {
        return Reply::text(identity_.maker + "," + identity_.model + "," + identity_.serial + "," +
                           identity_.firmware);
    });
    addSettings();
    addChannel(0);
    addChannel(1);
    addTrigger();
    addTimebase();
    addData();
}

std::optional<Reply> Instrument::execute(std::string_view line) {
    const std::string command = trimmed(line);
    const auto blank = command.find(' ');
    const std::string header = upper(command.substr(0, blank));
    const std::string parameter = blank == std::string::npos ? "" : trimmed(command.substr(blank));
    if (const auto handler = handlers_.find(header); handler != handlers_.end())
        return handler->second(parameter);
    if (header.rfind(":KEY:", 0) == 0) pressKey(state_, identity_, header.substr(4));
    return std::nullopt;
}

void Instrument::addSettings() {
    add(":DISPLAY:MENUDISPLAY", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto on = switchValue(p)) state_.menuDisplay = *on;
        return std::nullopt;
    });
    add(":DISPLAY:MENUDISPLAY?", [this](const std::string&) { return onOff(state_.menuDisplay); });
    add(":KEY:LOCK:ENABLE", [this](const std::string&) -> std::optional<Reply> {
        state_.keyLocked = true;
        return std::nullopt;
    });
    add(":KEY:LOCK:DISABLE", [this](const std::string&) -> std::optional<Reply> {
        state_.keyLocked = false;
        return std::nullopt;
    });
    add(":KEY:LOCK?", [this](const std::string&) { return onOff(state_.keyLocked); });
    add(":MATH:DISPLAY", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto on = switchValue(p)) state_.mathOn = *on;
        return std::nullopt;
    });
    add(":MATH:DISPLAY?", [this](const std::string&) { return onOff(state_.mathOn); });
    add(":FFT:DISPLAY", [this](const std::string& p) -> std::optional<Reply> {
        const auto on = switchValue(p);
        if (on && *on) {
            state_.mathOn = true;
            state_.mathOperation = MathOperation::Fft;
        } else if (on && state_.fftShown()) {
            state_.mathOn = false;
        }
        return std::nullopt;
    });
    add(":FFT:DISPLAY?", [this](const std::string&) { return onOff(state_.fftShown()); });
    if (!identity_.hasLogicAnalyzer()) return;
    add(":LA:DISPLAY", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto on = switchValue(p)) state_.la.on = *on;
        return std::nullopt;
    });
    add(":LA:DISPLAY?", [this](const std::string&) { return onOff(state_.la.on); });
}

void Instrument::addChannel(int channel) {
    const std::string prefix = channel == 0 ? ":CHANNEL1" : ":CHANNEL2";
    Channel& ch = state_.channels[channel];
    add(prefix + ":DISPLAY", [&ch](const std::string& p) -> std::optional<Reply> {
        if (const auto on = switchValue(p)) ch.on = *on;
        return std::nullopt;
    });
    add(prefix + ":DISPLAY?", [&ch](const std::string&) { return onOff(ch.on); });
    add(prefix + ":SCALE", [&ch](const std::string& p) -> std::optional<Reply> {
        if (const auto v = numberValue(p); v && *v > 0) ch.scale = *v;
        return std::nullopt;
    });
    add(prefix + ":SCALE?",
        [&ch](const std::string&) { return Reply::text(numberText(ch.scale)); });
    add(prefix + ":OFFSET", [&ch](const std::string& p) -> std::optional<Reply> {
        if (const auto v = numberValue(p)) ch.offset = *v;
        return std::nullopt;
    });
    add(prefix + ":OFFSET?",
        [&ch](const std::string&) { return Reply::text(numberText(ch.offset)); });
}

void Instrument::addTrigger() {
    add(":TRIGGER:MODE", [this](const std::string& p) -> std::optional<Reply> {
        for (auto mode : {TriggerMode::Edge, TriggerMode::Pulse, TriggerMode::Slope,
                          TriggerMode::Video, TriggerMode::Alternation})
            if (upper(p) == triggerModeText(mode)) state_.triggerMode = mode;
        return std::nullopt;
    });
    add(":TRIGGER:MODE?",
        [this](const std::string&) { return Reply::text(triggerModeText(state_.triggerMode)); });
    add(":TRIGGER:STATUS?", [this](const std::string&) {
        if (!state_.running) return Reply::text("STOP");
        return Reply::text(triggerHolds(state_, 0) ? "TRIG'D" : "AUTO");
    });
    add(":TRIGGER:ALTERNATION:SOURCE", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto source = sourceNamed(p); source == Source::Channel1)
            state_.altSource = 0;
        else if (source == Source::Channel2)
            state_.altSource = 1;
        return std::nullopt;
    });
    add(":TRIGGER:ALTERNATION:TIMESCALE?", [this](const std::string&) {
        return Reply::text(numberText(state_.altTimebase[state_.altSource].scale));
    });
    add(":TRIGGER:ALTERNATION:TIMEOFFSET?", [this](const std::string&) {
        return Reply::text(numberText(state_.altTimebase[state_.altSource].offset));
    });
}

void Instrument::addTimebase() {
    add(":TIMEBASE:FORMAT", [this](const std::string& p) -> std::optional<Reply> {
        for (auto format : {TimeFormat::YT, TimeFormat::XY, TimeFormat::Scanning})
            if (upper(p) == formatText(format)) state_.format = format;
        return std::nullopt;
    });
    add(":TIMEBASE:FORMAT?",
        [this](const std::string&) { return Reply::text(formatText(state_.format)); });
    add(":TIMEBASE:SCALE", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto v = numberValue(p); v && *v > 0) state_.timebase.scale = *v;
        return std::nullopt;
    });
    add(":TIMEBASE:SCALE?",
        [this](const std::string&) { return Reply::text(numberText(state_.timebase.scale)); });
    add(":TIMEBASE:OFFSET", [this](const std::string& p) -> std::optional<Reply> {
        if (const auto v = numberValue(p)) state_.timebase.offset = *v;
        return std::nullopt;
    });
    add(":TIMEBASE:OFFSET?",
        [this](const std::string&) { return Reply::text(numberText(state_.timebase.offset)); });
}

void Instrument::addData() {
    // A new screen is taken when the program asks for its description.
    add(":SYSTEM:DATA?", [this](const std::string&) {
        if (state_.running) ++state_.acquisitions;
        const auto bytes = systemBlock(state_, identity_.hasLogicAnalyzer());
        return Reply::block(std::string(bytes.begin(), bytes.end()));
    });
    add(":WAVEFORM:DATA?", [this](const std::string& p) -> std::optional<Reply> {
        const auto source = sourceNamed(p);
        if (!source || (*source == Source::Digital && !identity_.hasLogicAnalyzer()))
            return std::nullopt;
        return Reply::block(waveformBlock(state_, *source));
    });
}

}  // namespace tracebay::sim
