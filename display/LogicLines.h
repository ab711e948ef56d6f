#pragma once

#include <array>
#include <string_view>

#include "display/Samples.h"

namespace tracebay::display {

// The logic samples of a screen, built from the block's byte pairs (low byte first).
struct LogicSamples {
    static constexpr int Capacity = 1025;
    std::array<uint16_t, Capacity> values{};

    // Bit `line` of sample j; a sample outside the array abandons the drawing.
    bool level(long j, int line) const {
        if (j < 0 || j >= Capacity) throw DrawingAbandoned("logic sample outside its array");
        return (values[static_cast<size_t>(j)] >> line) & 1;
    }
};

void DrawLaLabels(platform::PictureSurface& surface, const Screen& screen, const SystemBlock& block,
                  std::string_view triggerMode, std::string_view fftDisplay, bool colorDisplay);
void DrawLaTraces(platform::PictureSurface& surface, const Screen& screen,
                  const ScopeState::Samples& laSamples, int pointCount, const SystemBlock& block,
                  std::string_view triggerMode, std::string_view fftDisplay, bool colorDisplay);
void DrawLaLine(platform::PictureSurface& surface, const Screen& screen,
                const LogicSamples& samples, int line, uint8_t height, int lowRowOffset,
                const SystemBlock& block, int screenEnd, double base);

}  // namespace tracebay::display
