#include "sim/Spectrum.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>

#include "sim/Signals.h"

namespace tracebay::sim {
namespace {

constexpr double SamplesPerDivision = 50;
constexpr double NoiseVolts = 0.002;

// A little deterministic noise, so that the spectrum has a floor.
std::vector<double> noise(int n) {
    std::vector<double> values(static_cast<size_t>(n));
    uint32_t seed = 12345;
    for (auto& value : values) {
        seed = seed * 1664525u + 1013904223u;
        value = NoiseVolts * (static_cast<double>(seed >> 8) / (1u << 24) - 0.5);
    }
    return values;
}

const TimeBase& ch1Timebase(const InstrumentState& state) {
    return state.triggerMode == TriggerMode::Alternation ? state.altTimebase[0] : state.timebase;
}

}  // namespace

int fftSpan(int spanCode) {
    static constexpr int spans[] = {5000, 2500, 1000, 500, 250, 100, 25};
    return spanCode >= 1 && spanCode <= 7 ? spans[spanCode - 1] : 500;
}

double fftSampleRate(const InstrumentState& state) {
    return SamplesPerDivision / ch1Timebase(state).scale;
}

double fftHzPerDivision(const InstrumentState& state) {
    return RowsPerDivision * fftSampleRate(state) / fftSpan(state.fft.spanCode);
}

std::vector<double> ch1Spectrum(const InstrumentState& state) {
    const int n = fftSpan(state.fft.spanCode);
    const double rate = fftSampleRate(state);
    const Acquisition acquisition(state, 0);
    const auto floor = noise(n);
    std::vector<double> windowed(static_cast<size_t>(n));
    double windowSum = 0;
    for (int i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);  // Hann
        windowSum += w;
        windowed[i] = w * (acquisition.volts(0, i / rate) + floor[i]);
    }
    // Half-column steps are half bins: angles are multiples of pi / n.
    std::vector<std::complex<double>> turns(2 * static_cast<size_t>(n));
    for (size_t m = 0; m < turns.size(); ++m)
        turns[m] = std::polar(1.0, -std::numbers::pi * static_cast<double>(m) / n);
    std::vector<double> values(static_cast<size_t>(n) + 1);
    for (int h = 0; h <= n; ++h) {
        std::complex<double> sum;
        size_t angle = 0;
        for (int i = 0; i < n; ++i) {
            sum += windowed[i] * turns[angle];
            angle += static_cast<size_t>(h);
            if (angle >= turns.size()) angle -= turns.size();
        }
        const double rms = 2 * std::abs(sum) / windowSum / std::numbers::sqrt2;
        values[h] = state.fft.dbScale ? 20 * std::log10(std::max(rms, 1e-6)) : rms;
    }
    return values;
}

}  // namespace tracebay::sim
