#pragma once

#include <string_view>

#include "display/Samples.h"

namespace tracebay::display {

// What the grid shows of a screen in scan format, whose samples the instrument does not send.
inline constexpr const char* ScanFormatNote = "Scan format: the instrument sends no samples";

// The uploaded traces of a slot and their settings texts, over the graticule.
void DrawOSC(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot);

void DrawChannelTrace(platform::PictureSurface& surface, const Screen& screen,
                      const ScopeState::Samples& samples, int pointCount, std::string_view channel,
                      const SystemBlock& block, std::string_view triggerMode,
                      std::string_view fftDisplay);
void DrawMathTrace(platform::PictureSurface& surface, const Screen& screen,
                   const ScopeState::Samples& samples, int pointCount, const SystemBlock& block,
                   std::string_view triggerMode);

// How a trace sits on the screen: columns a..b, first element, vertical origin and factor.
struct TraceWindow {
    int firstColumn;
    int lastColumn;
    long firstElement;
    double originY;
    double factor;
};

// Joins the samples of a window as the instrument draws them: a vertical first segment, then
// one point per sample, 300 / pointCount base units apart.
void drawTraceWindow(platform::PictureSurface& surface, const Screen& screen,
                     const ScopeState::Samples& samples, int pointCount, const TraceWindow& window);

}  // namespace tracebay::display
