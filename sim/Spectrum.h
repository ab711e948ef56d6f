#pragma once

#include <vector>

#include "sim/InstrumentState.h"

namespace tracebay::sim {

// The span of the FFT data, in data columns, for a span code 1..7 (500 for any other).
int fftSpan(int spanCode);

// The FFT's sample rate and resolution for the current CH1 time base.
double fftSampleRate(const InstrumentState& state);
double fftHzPerDivision(const InstrumentState& state);

// The spectrum of CH1 as the FFT display shows it: for each half data column h = 0 .. span, the
// value at frequency h/2 columns (decibels relative to 1 V rms, or volts rms).
std::vector<double> ch1Spectrum(const InstrumentState& state);

}  // namespace tracebay::sim
