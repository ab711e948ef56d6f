#pragma once

#include "display/Screen.h"

namespace tracebay::display {

struct GraticuleView {
    bool ColorDisplay = true;
    bool GridVisible = true;
    bool DualScreen = false;
};

// Clears the picture and draws the border, centre lines, tick marks, the dotted grid and the
// logo.
void DrawScrGrid(platform::PictureSurface& surface, const Screen& screen,
                 const GraticuleView& view);

}  // namespace tracebay::display
