#include "export/LogicSamples.h"

#include <cmath>

namespace tracebay::exporting {
namespace {

// From a 5 ns to a 50 s time base the samples lie 200 ps to 2 s apart; beyond these bounds a
// saved upload's time base is no instrument's.
constexpr double ShortestInterval = 1e-15;
constexpr double LongestInterval = 1e3;

}  // namespace

// Column c's first sample is bytes 4c + 425 (low) and 4c + 426 of the block.
std::optional<LogicSamples> logicSamples(const acquisition::ScopeState& slot) {
    const acquisition::SystemBlock& block = slot.SystemBlock;
    if (!slot.HasData || !slot.IsYT || !slot.CapturedLa ||
        !delivered(slot, "LA", block.LaValid(), slot.LaSamples))
        return std::nullopt;
    const Span window = columnSpan(block.ScreenStart(), block.ScreenEnd());
    LogicSamples logic{window.first, {}};
    const auto& bytes = slot.LaSamples;
    for (int c = window.first; c <= window.last; ++c) {
        const size_t low = 4 * static_cast<size_t>(c) + 425;
        if (low + 1 >= bytes.size()) break;
        logic.words.push_back(
            static_cast<uint16_t>((bytes[low + 1] & 0xFF) << 8 | (bytes[low] & 0xFF)));
    }
    if (logic.words.empty()) return std::nullopt;
    return logic;
}

bool holdsLogicLines(const acquisition::ScopeState& slot) { return logicSamples(slot).has_value(); }

// In alternate trigger the upload holds the time bases of the two halves only.
std::optional<LogicRecord> logicRecord(const acquisition::ScopeState& slot, std::string& error) {
    auto samples = logicSamples(slot);
    if (!samples) {
        error = slot.HasData ? "the upload holds no logic lines" : "nothing has been uploaded";
        return std::nullopt;
    }
    if (acquisition::alternateTrigger(slot)) {
        error = "in alternate trigger the upload holds no time base of the logic lines";
        return std::nullopt;
    }
    const acquisition::Horizontal time =
        acquisition::timeBase(slot.TimeScaleText, slot.TimeOffsetText);
    if (!(time.perColumn >= ShortestInterval) || !(time.perColumn <= LongestInterval) ||
        !std::isfinite(time.zeroColumn)) {
        error = "the time base \"" + slot.TimeScaleText + "\" gives no sample interval";
        return std::nullopt;
    }
    return LogicRecord{std::move(*samples), time};
}

}  // namespace tracebay::exporting
