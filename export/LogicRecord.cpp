#include "export/LogicRecord.h"

#include <cmath>

namespace tracebay::exporting {
namespace {

// From a 5 ns to a 50 s time base the samples lie 100 ps to 1 s apart; beyond these bounds a
// saved upload's time base is no instrument's.
constexpr double ShortestInterval = 1e-15;
constexpr double LongestInterval = 1e3;

}  // namespace

double LogicRecord::triggerTime() const {
    return (samples.time.zeroColumn - samples.firstPlace) * samples.time.perColumn;
}

bool holdsLogicLines(const acquisition::ScopeState& slot) { return logicSeries(slot).has_value(); }

// In alternate trigger the upload holds the time bases of the two halves only.
std::optional<LogicRecord> logicRecord(const acquisition::ScopeState& slot, std::string& error) {
    auto samples = logicSeries(slot);
    if (!samples) {
        error = slot.HasData ? "the upload holds no logic lines" : "nothing has been uploaded";
        return std::nullopt;
    }
    if (acquisition::alternateTrigger(slot)) {
        error = "in alternate trigger the upload holds no time base of the logic lines";
        return std::nullopt;
    }
    const double interval = samples->time.perColumn * samples->step;
    if (!(interval >= ShortestInterval) || !(interval <= LongestInterval) ||
        !std::isfinite(samples->time.zeroColumn)) {
        error = "the time base \"" + slot.TimeScaleText + "\" gives no sample interval";
        return std::nullopt;
    }
    return LogicRecord{std::move(*samples), interval};
}

}  // namespace tracebay::exporting
