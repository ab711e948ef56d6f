#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "export/UploadRecorder.h"
#include "mask/Mask.h"
#include "session/Upload.h"
#include "tools/CliOptions.h"

namespace tracebay::cli {

// The next upload, its screen as the options show it; none when the session refused it.
using NextUpload = std::function<std::optional<session::Upload>()>;

// The options' folder, made as mkdir -p makes it and opened; nothing, after saying why on
// standard error, when that cannot be done.
std::unique_ptr<exporting::UploadRecorder> openRecording(const Options& options);
// Records uploads, printing each JSON file's path, until the count is reached or a stop is
// asked for, the link goes or a file cannot be written; with a mask, each upload tested against
// it, and with --stop-on-fail until one fails or cannot be tested. The exit status.
int recordUploads(exporting::UploadRecorder& recorder, const Options& options,
                  const NextUpload& next, const mask::Mask* mask);

}  // namespace tracebay::cli
