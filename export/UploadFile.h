#pragma once

#include <QString>

#include <optional>
#include <string>

#include "acquisition/ScopeState.h"

namespace tracebay::exporting {

// A saved upload (the JSON that Save upload as... and tracebay-cli write) read back; nothing
// when the file cannot be read or does not hold an upload, with the reason in `error`.
std::optional<acquisition::ScopeState> readUpload(const QString& path, std::string& error);

// Puts what an upload brings into `slot`, as if it had just been uploaded; the view chosen in
// the window (scheme, grid, best fit, the ticked traces) stays as it is.
void takeUpload(acquisition::ScopeState& slot, const acquisition::ScopeState& upload);

}  // namespace tracebay::exporting
