#pragma once

#include <string_view>

#include "sim/InstrumentState.h"

namespace tracebay::sim {

// A front-panel key pressed remotely (":KEY" followed by its name, such as ":RUN"); false when
// the name is not a key of this instrument.
bool pressKey(InstrumentState& state, const Identity& identity, std::string_view name);

// One step along the 1-2-5 sequence from `value`, kept within [low, high].
double step125(double value, int direction, double low, double high);

}  // namespace tracebay::sim
