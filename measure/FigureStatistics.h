#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "measure/Measurements.h"

namespace tracebay::measure {

// Each figure's mean, least and greatest value over successive uploads, counting the rounds in
// which it could be determined.
class FigureStatistics {
public:
    struct Summary {
        std::optional<double> mean;
        std::optional<double> minimum;
        std::optional<double> maximum;
    };

    void add(const std::vector<SourceFigures>& round);
    void clear() { running_.clear(); }
    Summary summary(std::string_view source, Figure figure) const;

private:
    struct Running {
        int count = 0;
        double sum = 0;
        double minimum = 0;
        double maximum = 0;
    };
    std::map<std::pair<std::string, Figure>, Running> running_;
};

}  // namespace tracebay::measure
