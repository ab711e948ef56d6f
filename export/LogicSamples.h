#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "export/SampleSeries.h"

namespace tracebay::exporting {

// The logic lines of an upload as the screen holds them: one 16-bit word per screen column of
// the valid window, bit k the level of Dk. The screen keeps two samples per column; the first
// stands for the column, so the lines are sampled once per column.
struct LogicSamples {
    int firstColumn = 0;
    std::vector<uint16_t> words;

    int lastColumn() const { return firstColumn + static_cast<int>(words.size()) - 1; }
    bool holds(int column) const { return column >= firstColumn && column <= lastColumn(); }
    bool level(int column, int line) const {
        return (words[static_cast<size_t>(column - firstColumn)] >> line) & 1;
    }
};

// Nothing when the upload holds no logic lines: not a Y-T screen, the lines not captured, or
// their block not delivered with it.
std::optional<LogicSamples> logicSamples(const acquisition::ScopeState& slot);

// The logic lines with the time between two samples, for the files of logic-analysis tools.
struct LogicRecord {
    LogicSamples samples;
    acquisition::Horizontal time;
};

// Nothing, with the reason in `error`, when the upload holds no logic lines or no time base
// they follow.
std::optional<LogicRecord> logicRecord(const acquisition::ScopeState& slot, std::string& error);

bool holdsLogicLines(const acquisition::ScopeState& slot);

}  // namespace tracebay::exporting
