#pragma once

#include <QString>

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::exporting {

// A saved upload (the JSON that Save upload as... and tracebay-cli write) read back; nothing
// when the file cannot be read or does not hold an upload, with the reason in `error`.
std::optional<acquisition::ScopeState> readUpload(const QString& path, std::string& error);

}  // namespace tracebay::exporting
