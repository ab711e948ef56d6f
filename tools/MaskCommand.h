#pragma once

#include <optional>

#include "acquisition/ScopeState.h"
#include "mask/Mask.h"
#include "mask/Overlay.h"
#include "session/Upload.h"
#include "tools/CliOptions.h"

namespace tracebay::cli {

// mask make and mask check on saved uploads; the exit status.
int maskCommand(const Options& options);

// The references render draws, REF A and REF B, from the saved uploads the options name;
// nothing when one cannot be read or holds no such trace (said on standard error).
std::optional<mask::Comparison> referencesToDraw(const Options& options);

// The mask a recording tests its uploads against; nothing when the file is no mask (said on
// standard error).
std::optional<mask::Mask> recordingMask(const Options& options);

// The upload with what the mask says of it kept in it ("Mask" in its JSON).
session::Screen withMaskVerdict(const mask::Mask& mask, const session::Screen& upload);
// Says on standard error when an upload failed the mask or could not be tested against it.
void reportVerdict(const mask::Mask& mask, const acquisition::MaskVerdict& verdict);

}  // namespace tracebay::cli
