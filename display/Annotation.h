#pragma once

#include <string>
#include <string_view>

#include "display/Samples.h"

namespace tracebay::display {

// The settings written around and on the grid: ground markers and scales of the traces, the
// trigger position markers, the trigger delay and the time base.

void DrawChannelAnnotation(platform::PictureSurface& surface, const Screen& screen,
                           std::string_view channel, const std::string& offsetText,
                           const std::string& scaleText, std::string_view triggerMode,
                           std::string_view fftDisplay, uint8_t fftFullScreen);
void DrawMathAnnotation(platform::PictureSurface& surface, const Screen& screen,
                        const SystemBlock& block, std::string_view triggerMode,
                        std::string_view fftDisplay);
void DrawTriggerAnnotation(platform::PictureSurface& surface, const Screen& screen,
                           const std::string& timeScaleText, const std::string& timeOffsetText,
                           bool colorDisplay);
void DrawAltTriggerAnnotation(platform::PictureSurface& surface, const Screen& screen,
                              const std::string& ch1ScaleText, const std::string& ch1OffsetText,
                              const std::string& ch2ScaleText, const std::string& ch2OffsetText,
                              bool colorDisplay);

}  // namespace tracebay::display
