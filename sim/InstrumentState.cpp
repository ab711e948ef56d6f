#include "sim/InstrumentState.h"

namespace tracebay::sim {

InstrumentState defaultState() {
    InstrumentState state;
    // CH1 in the upper half, CH2 in the lower half, so that neither hides the other.
    state.channels[0] = {true, 0.5, 1.0, {Waveshape::Sine, 0.8, 1000.0}};
    state.channels[1] = {true, 1.0, -2.0, {Waveshape::Square, 1.0, 1000.0}};
    state.altTimebase = {TimeBase{500e-6, 0.0}, TimeBase{200e-6, 0.0}};
    for (int k = 0; k < 16; ++k) state.la.positions[k] = static_cast<int16_t>(37 + 12 * k);
    return state;
}

}  // namespace tracebay::sim
