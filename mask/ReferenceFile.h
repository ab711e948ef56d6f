#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "mask/Reference.h"

namespace tracebay::mask {

// The labels a reference may have, in the order they are offered.
inline const std::vector<std::string> ReferenceLabels{"REF A", "REF B"};

constexpr size_t MaxReferencesFileBytes = 4 * 1024 * 1024;

// The references kept between runs: a JSON object with "kind" "TraceBay references", "version"
// 1 and an object for each label set, holding the source, its unit, the screen axes it was shown
// on and its "samples" as [time, value, clipped] in ascending time, every number exact.
std::string referencesJson(const std::vector<LabelledReference>& references);
// Reads what referencesJson wrote; nothing, with what is wrong in `why`, for anything else.
std::optional<std::vector<LabelledReference>> referencesFromJson(const std::string& json,
                                                                 std::string& why);

// No file yet is no reference yet.
std::optional<std::vector<LabelledReference>> readReferencesFile(const std::string& path,
                                                                 std::string& why);
bool writeReferencesFile(const std::string& path, const std::vector<LabelledReference>& references,
                         std::string& why);

}  // namespace tracebay::mask
