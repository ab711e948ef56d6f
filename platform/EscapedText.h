#pragma once

#include <string>
#include <string_view>

namespace tracebay::platform {

// `text` as it can be printed on a terminal without acting on it: every control character (C0,
// DEL, and C1 in UTF-8) and every byte that is no part of UTF-8 is written as \xNN, so that a
// text from an instrument can neither move the cursor, clear the screen nor retitle the window.
// Printable text, UTF-8 included, stays as it is.
std::string escapeControls(std::string_view text);

// `text` as a JSON string, in its quotes: quotes and backslashes escaped, control characters
// (and DEL) as \u00NN; everything else, UTF-8 included, as it is.
std::string jsonQuoted(std::string_view text);

}  // namespace tracebay::platform
