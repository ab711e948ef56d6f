#pragma once

#include <functional>
#include <optional>

#include "session/Upload.h"
#include "tools/CliOptions.h"

namespace tracebay::cli {

// The next upload, its screen as the options show it; none when the session refused it.
using NextUpload = std::function<std::optional<session::Upload>()>;

// From now on SIGINT and SIGTERM ask a recording to end after the upload in progress, instead
// of ending the program.
void catchStopSignals();

// Records uploads into the options' folder, printing each JSON file's path, until the count is
// reached or a stop is asked for, the link goes or a file cannot be written; the exit status.
int recordUploads(const Options& options, const NextUpload& next);

}  // namespace tracebay::cli
