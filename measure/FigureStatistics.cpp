#include "measure/FigureStatistics.h"

#include <algorithm>

namespace tracebay::measure {

void FigureStatistics::add(const std::vector<SourceFigures>& round) {
    for (const SourceFigures& source : round)
        for (const Measured& m : source.figures) {
            if (!m.value) continue;
            Running& r = running_[{source.source, m.figure}];
            r.minimum = r.count ? std::min(r.minimum, *m.value) : *m.value;
            r.maximum = r.count ? std::max(r.maximum, *m.value) : *m.value;
            r.sum += *m.value;
            ++r.count;
        }
}

FigureStatistics::Summary FigureStatistics::summary(std::string_view source, Figure figure) const {
    const auto found = running_.find(std::pair{std::string(source), figure});
    if (found == running_.end()) return {};
    const Running& r = found->second;
    return {r.sum / r.count, r.minimum, r.maximum};
}

}  // namespace tracebay::measure
