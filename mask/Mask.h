#pragma once

#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "mask/Reference.h"

namespace tracebay::mask {

// The band a sample at `time` must lie in: from `lower` to `upper`, both included.
struct MaskPoint {
    double time = 0;
    double lower = 0;
    double upper = 0;
    bool operator==(const MaskPoint&) const = default;
};

struct Bounds {
    double lower = 0;
    double upper = 0;
};

// An upper and a lower bound for one source at each sample time, in seconds from the trigger
// and the source's unit: independent of the scale a later upload is shown at.
struct Mask {
    std::string source;  // "CH1", "CH2" or "MATH"
    std::string unit;    // "V" or "V^2"
    // What it was made with, for whoever reads its file; 0 when not known.
    double toleranceDivisions = 0;
    double tolerance = 0;  // in the unit
    double timeToleranceDivisions = 0;
    double timeTolerance = 0;       // in seconds
    std::vector<MaskPoint> points;  // in strictly ascending time

    // The bounds at `time`: a point's own where one stands (within a millionth of the points'
    // spacing), else along the straight lines between the two points around it; nothing outside
    // the points' span.
    std::optional<Bounds> boundsAt(double time) const;
    bool operator==(const Mask&) const = default;
};

// A mask around `reference`: at each of its sample times, from the least to the greatest value
// the reference takes within `timeTolerance` divisions before and after, widened by `tolerance`
// divisions below and above, both at the reference's own scale. Nothing, with the reason in
// `why`, for a reference without samples or one that ran off the screen (its clipped samples
// hold the screen's edge, not the signal).
std::optional<Mask> makeMask(const Reference& reference, double tolerance, double timeTolerance,
                             std::string& why);

// Every sample of the mask's source in an upload, compared with the mask.
struct MaskCheck {
    std::string source;
    size_t samples = 0;
    // The positions in the source's sample series of the samples outside the mask, clipped
    // samples among them (they may stand for any level beyond the screen's edge).
    std::vector<size_t> outside;
    std::optional<TimedSample> first;  // the earliest of them

    bool passed() const { return outside.empty(); }
    acquisition::MaskVerdict verdict() const;
};

// Nothing, with the reason in `why`, when the upload cannot be checked: it does not hold the
// mask's source as a trace in time in the mask's unit, its time base or scale cannot be read, or
// its samples run beyond the times the mask covers (another time base or delay).
std::optional<MaskCheck> checkUpload(const Mask& mask, const acquisition::ScopeState& upload,
                                     std::string& why);

// A verdict for an upload that could not be checked.
acquisition::MaskVerdict uncheckedVerdict(const Mask& mask, const std::string& why);

}  // namespace tracebay::mask
