#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "acquisition/ScreenAxes.h"
#include "decode/DecoderSpec.h"

namespace tracebay::decode {

// The samples a stack reads, a word each, at the places the screen has them for every line and
// channel it reads: bit k the level of Dk, bit 16 + i the i-th channel source through its
// threshold.
struct InputFrame {
    static constexpr int FirstChannelBit = 16;
    static constexpr uint64_t UnitSize = sizeof(uint32_t);

    std::vector<uint32_t> words;
    double firstPlace = 0;  // the screen column of the first word
    double step = 0;        // columns from one word to the next
    acquisition::Horizontal time;
    // Hertz; 0 when the time base gives no whole number of them.
    uint64_t sampleRate = 0;

    double placeOf(uint64_t sample) const {
        return firstPlace + step * static_cast<double>(sample);
    }
    double timeOf(uint64_t sample) const { return time.at(placeOf(sample)).value_or(0); }
};

// The bit of `source` in the frame of a stack whose sources are `sources`.
int frameBit(const std::vector<ChannelSource>& sources, const ChannelSource& source);

// The frame of the upload's samples for `sources`; nothing, with the reason, when the upload
// does not hold them on one time base.
std::optional<InputFrame> inputFrame(const acquisition::ScopeState& upload,
                                     const std::vector<ChannelSource>& sources,
                                     std::string& reason);

}  // namespace tracebay::decode
