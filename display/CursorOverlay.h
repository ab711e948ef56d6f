#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/Samples.h"

namespace tracebay::display {

// The two-cursor measurement: two time cursors (pixel x) and two voltage cursors (pixel y),
// each pair switched on or off.
struct Cursors {
    double CursorX1 = 102;
    double CursorX2 = 409;
    double CursorY1 = 102;
    int16_t CursorY2 = 255;
    bool TimeCursorsOn = false;
    bool VoltCursorsOn = false;
};

// One line of the cursors' readout and what it tells of.
struct ReadoutLine {
    enum class Kind { Time, Ch1, Ch2 };
    Kind kind;
    std::string text;
    bool operator==(const ReadoutLine&) const = default;
};

// What the cursors read: each time cursor's time from the trigger, their distance and its
// frequency; each voltage cursor's volts from a channel's ground, and their distance, for each
// channel with a scale. Three significant digits with SI prefixes. The cursors' places are
// taken back to screen units, so that the same cursors read the same at any scale.
std::vector<ReadoutLine> cursorReadout(const Screen& screen, const Cursors& cursors,
                                       const ScopeState& slot);

// Draws the cursors and their readout over a finished picture, through a back buffer: the
// picture is copied out, drawn over, and copied back. With both cursor pairs off the picture
// comes back unchanged.
class CursorOverlay {
public:
    static constexpr Rgb CursorColor = rgb(0, 128, 200);
    static constexpr Rgb CursorMathColor = rgb(255, 0, 255);

    void DrawCursorOverlay(platform::PictureSurface& wavePic, const Screen& screen,
                           Cursors& cursors, const ScopeState& slot);
    void CreateBackBuffer(const platform::PictureSurface& wavePic, bool colorDisplay);
    // Releases the back buffer; does nothing when none is held.
    void DeleteBackBuffer();
    // The readout on a box in the screen's background, framed, at the grid's top right corner.
    void DisplayCursorM(const Screen& screen, const Cursors& cursors, const ScopeState& slot);

    bool holdsBackBuffer() const { return BackBuffer != nullptr; }

private:
    void drawTimeCursors(const Screen& screen, const Cursors& cursors);
    void drawVoltCursors(const Screen& screen, const Cursors& cursors);
    // A closed outline with the solid pen.
    void triangle(double x1, double y1, double x2, double y2, double x3, double y3);

    std::unique_ptr<platform::PictureSurface> BackBuffer;
    Rgb penColor_ = CursorColor;
    bool colorDisplay_ = true;
};

}  // namespace tracebay::display
