#pragma once

#include <algorithm>
#include <string>

#include "acquisition/ScopeState.h"
#include "display/Screen.h"

namespace tracebay::display {

using acquisition::ScopeState;
using acquisition::SystemBlock;

// A sample read with its index checked: a read outside the array abandons the drawing step.
inline int32_t sampleAt(const ScopeState::Samples& samples, long index) {
    if (index < 0 || index >= static_cast<long>(samples.size()))
        throw DrawingAbandoned("sample " + std::to_string(index) + " outside its array");
    return samples[static_cast<size_t>(index)];
}

// A screen column from the system block, kept on the screen.
inline int screenColumn(int column) { return std::clamp(column, 0, Screen::Columns - 1); }

}  // namespace tracebay::display
