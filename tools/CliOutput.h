#pragma once

#include <string>
#include <string_view>

#include "acquisition/ScopeState.h"

namespace tracebay::cli {

// A message as a box shows it, a line for each of its lines ("\r", "\n", "\r\n" or "\n\r"),
// with what the instrument put into it made harmless to the terminal.
std::string printableMessage(std::string_view text);

// A failed read or write of a file, reported in one line; the exit status it gives.
int fileFailed(const std::string& what, const std::string& path, const std::string& why);

// Text on standard output; a failed write fails as a file does.
int writeOut(const std::string& text);

// Names each part the upload asked for and did not get; true when there was one.
bool reportMissingParts(const acquisition::ScopeState& slot);

}  // namespace tracebay::cli
