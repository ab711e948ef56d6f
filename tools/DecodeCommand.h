#pragma once

#include <optional>
#include <vector>

#include "acquisition/ScopeState.h"
#include "decode/Decoding.h"
#include "tools/CliOptions.h"

namespace tracebay::cli {

// decode --list: the library's decoders on standard output.
int listDecoders();

// decode: the annotations of a saved upload on standard output.
int decodeFile(const Options& options);

// The -P stacks parsed and checked against the library's decoders; nothing when they cannot be
// used, the reason on standard error and the exit status in `status`.
std::optional<std::vector<decode::StackSpec>> checkedStacks(const Options& options, int& status);

// Decodes an upload, each stack that was not decoded named on standard error; true when all were.
bool decodeReporting(const acquisition::ScopeState& upload,
                     const std::vector<decode::StackSpec>& stacks, decode::Decoded& decoded);

}  // namespace tracebay::cli
