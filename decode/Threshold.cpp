#include "decode/Threshold.h"

#include "measure/Waveform.h"

namespace tracebay::decode {
Levels channelLevels(const std::vector<double>& volts) {
    if (volts.empty()) return {};
    const measure::ReferenceLevels levels = measure::referenceLevels(volts);
    return {levels.base.value_or(levels.min), levels.top.value_or(levels.max)};
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
