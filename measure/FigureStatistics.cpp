#include "measure/FigureStatistics.h"

#include <algorithm>
#include <cmath>

namespace tracebay::measure {

void FigureStatistics::add(const std::vector<SourceFigures>& round) {
    for (const SourceFigures& source : round)
        for (const Measured& m : source.figures) {
            if (!m.value) continue;
            Running& r = running_[{source.source, m.figure}];
            const double v = *m.value;
            r.minimum = r.count ? std::min(r.minimum, v) : v;
            r.maximum = r.count ? std::max(r.maximum, v) : v;
            ++r.count;
            const double before = r.mean;
            r.mean += (v - before) / r.count;
            r.squares += (v - before) * (v - r.mean);
            r.resolution = m.resolution;
        }
}

FigureStatistics::Summary FigureStatistics::summary(std::string_view source, Figure figure) const {
    const auto found = running_.find(std::pair{std::string(source), figure});
    if (found == running_.end()) return {};
    const Running& r = found->second;
    const auto deviation = r.count > 1
                               ? std::optional(std::sqrt(std::max(0.0, r.squares) / (r.count - 1)))
                               : std::nullopt;
    return {r.mean, r.minimum, r.maximum, deviation, r.count, r.resolution};
}

}  // namespace tracebay::measure
