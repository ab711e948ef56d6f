#include "display/Repaint.h"

namespace tracebay::display {
namespace {

template <typename Step>
void runStep(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        // The step's remaining drawing is lost; the picture shows what it drew so far.
    }
}

}  // namespace

void Repaint(platform::PictureSurface& surface, const Screen& screen, const ScopeState& slot,
             Cursors& cursors, CursorOverlay& overlay, const PicturePass& over) {
    runStep([&] {
        DrawScrGrid(surface, screen, {slot.ColorDisplay, slot.GridVisible, slot.DualScreen});
    });
    runStep([&] { DrawOSC(surface, screen, slot); });
    if (over) runStep([&] { over(surface, screen, slot); });
    runStep([&] { overlay.DrawCursorOverlay(surface, screen, cursors, slot); });
}

}  // namespace tracebay::display
