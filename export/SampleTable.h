#pragma once

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

class QIODevice;

namespace tracebay::exporting {

struct Shown;

// The samples of an upload as comma-separated values, "." the decimal point whatever the
// locale, a header line naming each column and its unit.
//
// Y-T: one row per screen column of the valid window (the union of the captured sources'
// windows), with the time from the trigger position (in alternate trigger one time column per
// half), then CH1, CH2 and MATH in volts from the ground marker, the FFT in the unit the
// instrument reports with its frequency, and D0..D15 as 0 or 1. X-Y: one row per point, CH1
// and CH2 in volts. Only captured sources whose trace the instrument delivered get a column; a
// cell outside a source's window is empty.
//
// Nothing, with the reason in `error`, when the upload holds no samples.
std::optional<std::string> samplesCsv(const acquisition::ScopeState& slot, std::string& error);

std::string writeCsv(const Shown& shown, QIODevice& device);

}  // namespace tracebay::exporting
