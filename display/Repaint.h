#pragma once

#include <functional>

#include "display/CursorOverlay.h"
#include "display/Graticule.h"
#include "display/Traces.h"

namespace tracebay::display {

// Drawing over the instrument's finished picture, under the cursors: references and masks.
using PicturePass =
    std::function<void(platform::PictureSurface&, const Screen&, const ScopeState&)>;

// One full repaint of the screen picture: graticule, traces and texts, the pass `over` when
// there is one, cursor overlay. A step that cannot go on stops there; the next step is drawn all
// the same.
void Repaint(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot,
             Cursors& cursors, CursorOverlay& overlay, const PicturePass& over = {});

}  // namespace tracebay::display
