#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/InstrumentState.h"

namespace tracebay::sim {

enum class Source { Channel1, Channel2, Math, Fft, Digital };

// Where the program reads a block's samples (byte i counted from 1): channel column c at
// 2c + 214, MATH and FFT column c at 2c + 2, the logic samples of column c from 4c + 425.
constexpr int ChannelBlockLength = 815;
constexpr int MathBlockLength = 603;
constexpr int DigitalBlockLength = 2048;
int fftBlockLength(int spanCode);

constexpr size_t SystemBlockSize = 112;
using SystemBlockBytes = std::array<uint8_t, SystemBlockSize>;

// The instrument's description of its screen.
SystemBlockBytes systemBlock(const InstrumentState& state, bool hasLogicAnalyzer);
// The sample block of one source, as the instrument sends it.
std::string waveformBlock(const InstrumentState& state, Source source);

// Columns holding valid samples: the whole screen, or what a scan has drawn so far.
int screenEnd(const InstrumentState& state);

}  // namespace tracebay::sim
