#include "decode/Threshold.h"

#include <algorithm>
#include <map>

namespace tracebay::decode {
namespace {

// A mode is clear when at least this part of its half's samples lie on it.
constexpr double ClearMode = 0.2;

// The most frequent value of `counts` (the one nearer the end of the range on a tie), when clear.
std::optional<double> clearMode(const std::map<double, int>& counts, bool upper) {
    int total = 0;
    int most = 0;
    double mode = 0;
    for (const auto& [value, count] : counts) {
        total += count;
        if (count > most || (upper && count == most)) {
            most = count;
            mode = value;
        }
    }
    if (most < 2 || most < ClearMode * total) return std::nullopt;
    return mode;
}

}  // namespace

Levels channelLevels(const std::vector<double>& volts) {
    if (volts.empty()) return {};
    const auto [low, high] = std::minmax_element(volts.begin(), volts.end());
    const double middle = (*low + *high) / 2;
    std::map<double, int> lower;
    std::map<double, int> upper;
    for (const double v : volts) ++(v <= middle ? lower : upper)[v];
    const auto base = clearMode(lower, false);
    const auto top = clearMode(upper, true);
    if (!base || !top) return {*low, *high};
    return {*base, *top};
}

std::vector<bool> thresholded(const std::vector<double>& volts, std::optional<double> level) {
    const Levels levels = channelLevels(volts);
    const double threshold = level.value_or((levels.base + levels.top) / 2);
    const double halfBand = Hysteresis * (levels.top - levels.base) / 2;
    std::vector<bool> high;
    high.reserve(volts.size());
    bool state = !volts.empty() && volts.front() >= threshold;
    for (const double v : volts) {
        if (v >= threshold + halfBand)
            state = true;
        else if (v <= threshold - halfBand)
            state = false;
        high.push_back(state);
    }
    return high;
}

}  // namespace tracebay::decode
