#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "measure/Measurements.h"

namespace tracebay::measure {

// Each figure's mean, least and greatest value, standard deviation and count over successive
// uploads, counting the rounds in which it could be determined.
class FigureStatistics {
public:
    struct Summary {
        std::optional<double> mean;
        std::optional<double> minimum;
        std::optional<double> maximum;
        std::optional<double> deviation;  // the sample standard deviation; from two rounds on
        int count = 0;
        double resolution = 0;  // the figure's in the last round that determined it
    };

    void add(const std::vector<SourceFigures>& round);
    void clear() { running_.clear(); }
    Summary summary(std::string_view source, Figure figure) const;

private:
    // Welford's running mean and sum of squared differences from it.
    struct Running {
        int count = 0;
        double mean = 0;
        double squares = 0;
        double minimum = 0;
        double maximum = 0;
        double resolution = 0;
    };
    std::map<std::pair<std::string, Figure>, Running> running_;
};

}  // namespace tracebay::measure
