// A mask file and the kept references, as `tracebay-cli mask check`, `render --ref` and the
// window read them: the text read, what was read written again and read back the same, and a
// read mask's bounds looked up at times the input chooses.
//
// Input: a byte choosing the reader (even: a mask, odd: the references), for a mask two more
// choosing the times to look up at (a step of a thousandth to the whole of the mask's span), then
// the JSON text.

#include <cmath>

#include "fuzz/FuzzInput.h"
#include "mask/MaskFile.h"
#include "mask/ReferenceFile.h"

using namespace tracebay;

namespace {

// What `read` takes from `text`, written by `write` and read back the same; a refusal says why.
template <typename Read, typename Write>
auto readBackWhole(const std::string& text, Read read, Write write) {
    std::string why;
    const auto taken = read(text, why);
    if (!taken) {
        fuzz::require(!why.empty(), "a refused file says why");
        return taken;
    }
    const auto again = read(write(*taken), why);
    fuzz::require(again && *again == *taken, "what was read reads back as it was written");
    return taken;
}

// Between two points the bounds follow the straight lines, so they never cross; outside the
// points' span there are none. The times: one step before the first point to one after the
// last, a step being a thousandth to the whole of the span.
void lookUpBounds(const mask::Mask& mask, uint16_t step) {
    const double first = mask.points.front().time, last = mask.points.back().time;
    const int stepsInSpan = 1000 / (1 + step % 1000);
    for (int i = -1; i <= stepsInSpan + 1; ++i) {
        const double time = first + (last - first) * i / stepsInSpan;
        if (!std::isfinite(time)) continue;  // a span wider than a double holds
        const auto bounds = mask.boundsAt(time);
        fuzz::require(!bounds || bounds->lower <= bounds->upper, "a lower bound stays below");
        fuzz::require(bounds || time < first || time > last, "the mask's span has bounds");
    }
}

void readMask(uint16_t step, const std::string& text) {
    if (const auto read = readBackWhole(text, mask::maskFromJson, mask::maskJson))
        lookUpBounds(*read, step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    if (input.byte() % 2) {
        readBackWhole(input.rest(), mask::referencesFromJson, mask::referencesJson);
        return 0;
    }
    const uint16_t step = input.word();
    readMask(step, input.rest());
    return 0;
}
