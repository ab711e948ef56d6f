#pragma once

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"
#include "export/SampleSeries.h"

namespace tracebay::exporting {

// The logic lines with the time between two of their samples, for the files of logic-analysis
// tools.
struct LogicRecord {
    LogicSeries samples;
    double interval = 0;  // seconds
    // Seconds from the first sample to the trigger.
    double triggerTime() const;
};

// Nothing, with the reason in `error`, when the upload holds no logic lines or no time base
// they follow.
std::optional<LogicRecord> logicRecord(const acquisition::ScopeState& slot, std::string& error);

bool holdsLogicLines(const acquisition::ScopeState& slot);

}  // namespace tracebay::exporting
