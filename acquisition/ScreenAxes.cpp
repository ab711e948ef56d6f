#include "acquisition/ScreenAxes.h"

#include <cmath>

#include "acquisition/ValueText.h"

namespace tracebay::acquisition {
namespace {

constexpr double CentreRow = 100;
constexpr double CentreColumn = 150;

// Channel texts name volts from picovolts ("500mV") up to kilovolts (a probe of 1000:1).
double volts(const std::string& text) {
    const auto small = ParseSmallVoltText(text);
    return small.ParsedValueValid ? small.value : ParseVoltText(text).value;
}

}  // namespace

std::optional<double> Horizontal::at(double column) const {
    if (!(perColumn > 0) || !std::isfinite(perColumn)) return std::nullopt;
    return (column - zeroColumn) * perColumn;
}

std::optional<double> Vertical::at(std::optional<double> row) const {
    if (!row || !(perRow > 0) || !std::isfinite(perRow)) return std::nullopt;
    return (groundRow - *row) * perRow;
}

Horizontal timeBase(const std::string& scaleText, const std::string& offsetText) {
    const double scale = ParseTimeText(scaleText).value;
    const double offset = ParseTimeText(offsetText).value;
    if (!(scale > 0)) return {};
    return {CentreColumn - ColumnsPerDivision * offset / scale, scale / ColumnsPerDivision};
}

Vertical channelVertical(const std::string& scaleText, const std::string& offsetText) {
    const double scale = volts(scaleText);
    if (!(scale > 0) || !std::isfinite(scale)) return {};
    return {CentreRow - RowsPerDivision * volts(offsetText) / scale, scale / RowsPerDivision};
}

Vertical blockVertical(int16_t offsetRows, double scale) {
    return {CentreRow - offsetRows, scale / RowsPerDivision};
}

bool alternateTrigger(const ScopeState& slot) { return slot.TriggerMode == "ALTERNATION"; }

Horizontal halfTimeBase(const ScopeState& slot, bool upper) {
    if (!alternateTrigger(slot)) return timeBase(slot.TimeScaleText, slot.TimeOffsetText);
    return upper ? timeBase(slot.AltCh1TimeScaleText, slot.AltCh1TimeOffsetText)
                 : timeBase(slot.AltCh2TimeScaleText, slot.AltCh2TimeOffsetText);
}

}  // namespace tracebay::acquisition
