#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "acquisition/ScopeState.h"
#include "display/Screen.h"
#include "platform/PictureSurface.h"

namespace tracebay::display {

// A slot as an upload leaves it, with system block fields written at their offsets.
class SlotBuilder {
public:
    SlotBuilder() {
        slot.HasData = true;
        slot.IsYT = true;
        slot.PointCount = 600;
        slot.ColorDisplay = true;
        slot.GridVisible = true;
        slot.TriggerMode = "EDGE";
        slot.FftDisplay = "OFF";
        slot.MathDisplay = "OFF";
        slot.TimeScaleText = "500.0us";
        slot.TimeOffsetText = "0.000s";
        int16(2, 299);
        int16(6, 299);
        int16(10, 299);
    }

    SlotBuilder& byte(size_t at, int value) {
        slot.SystemBlock.bytes[at] = static_cast<uint8_t>(value);
        return *this;
    }
    SlotBuilder& int16(size_t at, int value) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
        slot.SystemBlock.bytes[at] = static_cast<uint8_t>(v & 0xFF);
        slot.SystemBlock.bytes[at + 1] = static_cast<uint8_t>(v >> 8);
        return *this;
    }
    SlotBuilder& single(size_t at, float value) {
        std::memcpy(&slot.SystemBlock.bytes[at], &value, 4);
        return *this;
    }
    static acquisition::ScopeState::Samples samples(int32_t value) {
        return acquisition::ScopeState::Samples(acquisition::ScopeState::SampleCount, value);
    }

    acquisition::ScopeState slot;
};

// A recording surface of the size the main window gives the picture at scale s.
inline platform::PictureSurface recordingSurface(double s = 1) {
    const Screen screen{s};
    platform::PictureSurface surface(screen.pictureWidth(), screen.pictureHeight());
    surface.setRecording(true);
    return surface;
}

// The recorded lines drawn in one colour, in order.
inline std::vector<platform::PictureSurface::Line> linesIn(const platform::PictureSurface& surface,
                                                           Rgb color) {
    std::vector<platform::PictureSurface::Line> found;
    for (const auto& line : surface.lines())
        if (line.color == color) found.push_back(line);
    return found;
}

inline bool hasText(const platform::PictureSurface& surface, const std::string& wanted) {
    for (const auto& t : surface.texts())
        if (t.text == wanted) return true;
    return false;
}

inline Rgb pixelAt(const platform::PictureSurface& surface, int x, int y) {
    return surface.image().pixel(x, y) & 0xFFFFFF;
}

}  // namespace tracebay::display
