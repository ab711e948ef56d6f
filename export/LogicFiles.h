#pragma once

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

class QIODevice;

namespace tracebay::exporting {

struct Shown;

// The logic lines of an upload for logic-analysis tools: every word the screen draws, two a screen
// column of the valid window, the time between two samples half a column's. Nothing, with the
// reason in `error`, when the upload holds no logic lines or no time base they follow.

// A value change dump (IEEE 1364): a one-bit wire D0..D15 per line, the time unit the largest
// that divides the sample interval, times from the first sample, the trigger position, the
// instrument and the time of the upload in a comment, and a value only where it changes.
std::optional<std::string> valueChangeDump(const acquisition::ScopeState& slot, std::string& error);

// A sigrok session: a zip archive of "version" (2), "metadata" (one device of 16 probes D0..D15
// with the sample rate) and the samples as little-endian 16-bit words in "logic-1-1". The
// sample rate must come out in whole hertz.
std::optional<std::string> sigrokSession(const acquisition::ScopeState& slot, std::string& error);

// Whether the upload's logic lines make a dump, and a session, without making them.
bool fitsValueChangeDump(const acquisition::ScopeState& slot);
bool fitsSigrokSession(const acquisition::ScopeState& slot);

std::string writeVcd(const Shown& shown, QIODevice& device);
std::string writeSigrokSession(const Shown& shown, QIODevice& device);

}  // namespace tracebay::exporting
