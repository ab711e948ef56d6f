#pragma once

#include <string>
#include <string_view>

class QIODevice;

namespace tracebay::platform {

// Writes all of `bytes`; a short write is tried again for the rest, so that the write that
// fails sets the device's error to why (a full disk says so, not "Unknown error").
bool writeWhole(QIODevice& device, std::string_view bytes);

// Writes `bytes` as the whole new content of the file at `path`, so that a failure never leaves
// half a file: they go into a new file beside it, which then takes the target's place (and its
// permissions). A target that exists but is not a regular file, such as a device or a pipe, is
// written directly and never replaced; a pipe that nobody reads fails at once ("no reader"). False,
// with the reason in `error`, when anything failed; a file that was there then stays as it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace tracebay::platform
