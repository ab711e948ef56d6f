#pragma once

#include "platform/PictureSurface.h"

class QPainter;

namespace tracebay::exporting {

// Draws what `picture` recorded, in the order it was drawn, one picture pixel to one unit of
// the painter: its background, then the lines, dots and texts in their colours, widths and
// fonts. On a vector device (SVG, PDF, a printer) this is the picture as shapes, sharp at any
// size.
void replay(const platform::PictureSurface& picture, QPainter& painter);

}  // namespace tracebay::exporting
