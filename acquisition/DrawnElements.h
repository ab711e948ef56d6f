#pragma once

#include <cstdint>
#include <string_view>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// The elements of a trace's sample block ("CH1", "CH2", "MATH", "FFT") that drawing it reads, at
// any zoom, within the column window of the slot's system block, and where each stands: element
// e at place first place + (e - first) * step, a screen column in Y-T (two elements a column at
// 600 points), a point's number in X-Y. A trace's first element is the start of its first,
// vertical segment, half a column before its window.
struct DrawnElements {
    long first = 1;
    long last = 0;
    double firstPlace = 0;
    double step = 0;

    bool empty() const { return first > last; }
    double place(long element) const {
        return firstPlace + static_cast<double>(element - first) * step;
    }
};

DrawnElements drawnElements(std::string_view source, const ScopeState& slot);

// The logic lines as drawn: two 16-bit words a screen column of the window, the first of column c
// at bytes 4c + 425 (low) and 4c + 426.
struct DrawnWords {
    long firstByte = 0;
    int count = 0;
    double firstPlace = 0;
    static constexpr double Step = 0.5;
};

DrawnWords drawnWords(const ScopeState& slot);

// How long a source's sample block ("CH1", "CH2", "MATH", "FFT", "LA") must be for the screen:
// the last element that drawing it reads. A shorter block would have the end of its trace drawn
// from samples that never came.
int32_t drawnBlockLength(std::string_view source, const ScopeState& slot);

}  // namespace tracebay::acquisition
