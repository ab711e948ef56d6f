#pragma once

#include "session/LinkOptions.h"

namespace tracebay::options {

// The transport and serial settings the options dialog edits.
using IoOptions = session::LinkOptions;

}  // namespace tracebay::options
