#pragma once

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// The longest text a saved upload may hold in a field; the instrument's are a few characters.
constexpr size_t MaxTextLength = 64;

// A ScopeState as JSON: keys named as its fields, the system block as lowercase hex, each
// sample array as its 6201 integers (an empty array when it was never filled). The upload's
// parts are "Arrived" ({"CH2": false, ...}) and "Missing" ({"CH2": "time-out"}); the
// instrument's identity is an object {"Maker": ..., "Model": ..., "Firmware": ..., "Serial": ...};
// a mask test made as it was recorded is "Mask" (see MaskVerdictJson.h).
std::string toJson(const ScopeState& state);
// Reads what toJson wrote; nothing when the text is not such a document, and `error` says why,
// naming the first field that is wrong. Missing keys keep their defaults; every other value
// must have its field's type: true or false, a whole number within 32 bits, a text of at most
// MaxTextLength single-byte characters, an array of 6201 such numbers (or none), 224 hex digits.
std::optional<ScopeState> fromJson(const std::string& json, std::string& error);

}  // namespace tracebay::acquisition
