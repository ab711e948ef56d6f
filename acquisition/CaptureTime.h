#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tracebay::acquisition {

// A moment as an upload's Captured text: ISO 8601 in UTC to the millisecond,
// "2026-12-07T14:03:22.512Z".
std::string capturedText(std::chrono::system_clock::time_point moment);

// The name of a file kept for an upload, before its suffix: its Captured text with every ":"
// (not allowed in Windows file names) and anything else that could lead out of a folder as
// "-", "2026-12-07T14-03-22.512Z".
std::string capturedFileStem(std::string_view captured);

}  // namespace tracebay::acquisition
