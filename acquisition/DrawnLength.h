#pragma once

#include <cstdint>
#include <string_view>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// How long a source's sample block ("CH1", "CH2", "MATH", "FFT", "LA") must be for the screen:
// the last element that drawing it reads, at any zoom, within the column window of the slot's
// system block. A shorter block would have the end of its trace drawn from samples that never
// came.
int32_t drawnBlockLength(std::string_view source, const ScopeState& slot);

}  // namespace tracebay::acquisition
