#pragma once

#include <string>
#include <string_view>

#include "display/Samples.h"

namespace tracebay::display {

void DrawFftTrace(platform::PictureSurface& surface, const Screen& screen,
                  const ScopeState::Samples& samples, int pointCount, const SystemBlock& block,
                  std::string_view triggerMode);
void DrawXYTrace(platform::PictureSurface& surface, const Screen& screen,
                 const ScopeState::Samples& ch1, const ScopeState::Samples& ch2, int pointCount);
void DrawXYAnnotation(platform::PictureSurface& surface, const Screen& screen,
                      const std::string& ch1ScaleText, const std::string& ch2ScaleText,
                      bool colorDisplay);

}  // namespace tracebay::display
