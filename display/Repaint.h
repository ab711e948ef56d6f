#pragma once

#include "display/CursorOverlay.h"
#include "display/Graticule.h"
#include "display/Traces.h"

namespace tracebay::display {

// One full repaint of the screen picture: graticule, traces and texts, cursor overlay. A step
// that cannot go on stops there; the next step is drawn all the same.
void Repaint(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot,
             Cursors& cursors, CursorOverlay& overlay);

}  // namespace tracebay::display
