#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "mask/Mask.h"

namespace tracebay::mask {

// A mask file holds at most a point for each element of a sample block; anything larger is no
// mask.
constexpr size_t MaxMaskPoints = acquisition::ScopeState::SampleCount;
constexpr size_t MaxMaskFileBytes = 4 * 1024 * 1024;

// A mask as its file holds it (the README describes the format): a JSON object with "kind"
// "TraceBay mask", "version" 1, "source", "unit", the tolerances it was made with and its
// "points" as [time, lower, upper], a line each, every number exact.
std::string maskJson(const Mask& mask);
// Reads what maskJson wrote; nothing, with what is wrong in `why`, for anything else.
std::optional<Mask> maskFromJson(const std::string& json, std::string& why);

std::optional<Mask> readMaskFile(const std::string& path, std::string& why);
// Whole or not at all.
bool writeMaskFile(const std::string& path, const Mask& mask, std::string& why);

}  // namespace tracebay::mask
