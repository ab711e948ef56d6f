#include "sim/Signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/SerialBuses.h"

namespace tracebay::sim {

uint8_t rowByte(double row) {
    return static_cast<uint8_t>(std::clamp(std::lround(TopRowByte + row), 0L, 255L));
}

double voltsRow(double volts, double scale, double groundRow) {
    return groundRow - volts / scale * RowsPerDivision;
}

double columnTime(const TimeBase& timebase, double column) {
    return (column - ScreenColumns / 2.0) / RowsPerDivision * timebase.scale + timebase.offset;
}

double generatorVolts(const Generator& generator, double absoluteTime) {
    if (generator.shape == Waveshape::Uart)
        return serialChannelLevel(absoluteTime) ? generator.amplitude : 0.0;
    const double s = std::sin(2 * std::numbers::pi * generator.frequency * absoluteTime);
    if (generator.shape == Waveshape::Square)
        return s >= 0 ? generator.amplitude : -generator.amplitude;
    return generator.amplitude * s;
}

bool triggerHolds(const InstrumentState& state, int channel) {
    return std::abs(state.triggerLevel) < state.channels[channel].input.amplitude;
}

Acquisition::Acquisition(const InstrumentState& state, int triggerChannel) : state_(state) {
    const Generator& source = state.channels[triggerChannel].input;
    triggered_ = triggerHolds(state, triggerChannel);
    if (!triggered_) {
        // A free-running sweep starts anywhere: each new acquisition lands elsewhere.
        start_ = state.acquisitions * 0.000137;
        return;
    }
    // The rising crossing of the level in the first period.
    const double phase =
        source.shape == Waveshape::Sine ? std::asin(state.triggerLevel / source.amplitude) : 0.0;
    start_ = phase / (2 * std::numbers::pi * source.frequency);
}

double Acquisition::volts(int channel, double t) const {
    return generatorVolts(state_.channels[channel].input, start_ + t);
}

}  // namespace tracebay::sim
