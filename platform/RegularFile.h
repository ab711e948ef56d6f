#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tracebay::platform {

// The whole content of the regular file at `path`, when it holds at most `maxBytes` bytes.
// Nothing, with the reason in `error`, for anything else: no such file, a folder, a device or
// a pipe (which may never end), a larger file, a failed read. Never reads more than maxBytes + 1
// bytes, whatever the file turns out to hold.
std::optional<std::string> readRegularFile(const std::string& path, size_t maxBytes,
                                           std::string& error);

}  // namespace tracebay::platform
