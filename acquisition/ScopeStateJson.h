#pragma once

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// A ScopeState as JSON: keys named as its fields, the system block as lowercase hex, each
// sample array as its 6201 integers (an empty array when it was never filled). The upload's
// parts are "Arrived" ({"CH2": false, ...}) and "Missing" ({"CH2": "time-out"}).
std::string toJson(const ScopeState& state);
// Reads what toJson wrote; nothing when the text is not such a document. Missing keys keep
// their defaults; arrays and the block are checked for their sizes.
std::optional<ScopeState> fromJson(const std::string& json, std::string& error);

}  // namespace tracebay::acquisition
