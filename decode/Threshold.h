#pragma once

#include <optional>
#include <vector>

namespace tracebay::decode {

// A channel's two levels: its base and top as the measurements give them, or the range's ends
// where they give none (no plateau: a sine, a ramp).
struct Levels {
    double base = 0;
    double top = 0;
};
Levels channelLevels(const std::vector<double>& volts);

// The band around the threshold in which a sample keeps the level before it, as a part of
// top - base.
inline constexpr double Hysteresis = 0.1;

// The samples as a logic line: high from the threshold plus half the band up, low from the
// threshold minus half the band down, else as the sample before; the threshold half-way between
// base and top unless `level` gives it in volts.
std::vector<bool> thresholded(const std::vector<double>& volts, std::optional<double> level);

}  // namespace tracebay::decode
