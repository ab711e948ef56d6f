#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::acquisition {

// An upload saved as JSON is a few hundred kilobytes; anything beyond this is no upload.
constexpr size_t MaxUploadFileBytes = 16 * 1024 * 1024;

// The upload saved in the file at `path`. Nothing, with the reason in `error`, when the file is
// no regular file, is larger than MaxUploadFileBytes, cannot be read or holds no upload.
std::optional<ScopeState> readUploadFile(const std::string& path, std::string& error);
// Saves `state` in the file at `path`, whole or not at all.
bool writeUploadFile(const std::string& path, const ScopeState& state, std::string& error);

}  // namespace tracebay::acquisition
