#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/ScopeState.h"
#include "acquisition/ScreenAxes.h"

namespace tracebay::mask {

// A sample in seconds from the trigger and its value in the trace's unit; a clipped one lay on
// or beyond the screen's edge, so its value is the edge's, not the signal's.
struct TimedSample {
    double time = 0;
    double value = 0;
    bool clipped = false;
    bool operator==(const TimedSample&) const = default;
};

// The sources a reference or a mask may take: traces in volts over time.
bool comparableSource(std::string_view source);

// A trace kept to compare later uploads with: every sample of one source of an upload, in
// seconds and volts, and the screen axes it was shown on (for drawing it where no upload shows
// its source).
struct Reference {
    std::string source;  // "CH1", "CH2" or "MATH"
    std::string unit;    // "V", or "V^2" for a product
    acquisition::Horizontal axis;
    acquisition::Vertical vertical;
    std::vector<TimedSample> samples;

    double valuePerDivision() const { return vertical.perRow * acquisition::RowsPerDivision; }
    double secondsPerDivision() const { return axis.perColumn * acquisition::ColumnsPerDivision; }
    bool operator==(const Reference&) const = default;
};

// A reference as it is offered and drawn: "REF A" or "REF B".
struct LabelledReference {
    std::string label;
    Reference trace;
    bool operator==(const LabelledReference&) const = default;
};

// The trace `source` of `upload` as a reference; nothing, with the reason in `why`, when the
// upload does not hold it or its time base or scale cannot be read.
std::optional<Reference> referenceFrom(const acquisition::ScopeState& upload,
                                       std::string_view source, std::string& why);

}  // namespace tracebay::mask
