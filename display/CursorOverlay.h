#pragma once

#include <cstdint>
#include <memory>

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
    void DisplayCursorM(const Screen& screen, const Cursors& cursors, const ScopeState& slot);

    bool holdsBackBuffer() const { return BackBuffer != nullptr; }

    // The readout colours of the current scheme.
    Rgb CursorLabelColor = LightGrey;
    Rgb CursorCh1Color = Ch1TraceColor;
    Rgb CursorCh2Color = Ch2TraceColor;
    Rgb CursorReadoutMathColor = CursorMathColor;

private:
    void drawTimeCursors(const Screen& screen, const Cursors& cursors);
    void drawVoltCursors(const Screen& screen, const Cursors& cursors);
    // A closed outline with the solid pen.
    void triangle(double x1, double y1, double x2, double y2, double x3, double y3);

    std::unique_ptr<platform::PictureSurface> BackBuffer;
    Rgb penColor_ = CursorColor;
};

}  // namespace tracebay::display
