#include "mainwindow/CursorDrag.h"

#include <algorithm>
#include <cmath>

namespace tracebay::mainwindow::CursorDrag {
namespace {

bool near(double position, double cursor) { return std::abs(position - cursor) < GrabDistance; }

}  // namespace

Grab grabAt(const display::Cursors& cursors, QPoint at) {
    Grab grab;
    if (cursors.TimeCursorsOn) {
        if (near(at.x(), cursors.CursorX1))
            grab.time = 1;
        else if (near(at.x(), cursors.CursorX2))
            grab.time = 2;
    }
    if (cursors.VoltCursorsOn) {
        if (near(at.y(), cursors.CursorY1))
            grab.volt = 1;
        else if (near(at.y(), cursors.CursorY2))
            grab.volt = 2;
    }
    return grab;
}

Pointer drag(display::Cursors& cursors, const Grab& grab, QPoint at) {
    if (grab.time != 0) {
        (grab.time == 1 ? cursors.CursorX1 : cursors.CursorX2) = at.x();
        return Pointer::SizeWestEast;
    }
    if (grab.volt == 1) {
        cursors.CursorY1 = at.y();
        return Pointer::SizeNorthSouth;
    }
    if (grab.volt == 2) {
        cursors.CursorY2 = static_cast<int16_t>(std::clamp(at.y(), -32768, 32767));
        return Pointer::SizeNorthSouth;
    }
    return Pointer::Default;
}

Pointer hover(const display::Cursors& cursors, QPoint at, double scale) {
    const bool acrossTheGrid = at.x() >= 25 && at.x() <= 25 + 300 * scale;
    const bool downTheGrid = at.y() >= 25 && at.y() <= 25 + 200 * scale;
    if (cursors.VoltCursorsOn && acrossTheGrid &&
        (near(at.y(), cursors.CursorY1) || near(at.y(), cursors.CursorY2)))
        return Pointer::SizeNorthSouth;
    if (cursors.TimeCursorsOn && downTheGrid &&
        (near(at.x(), cursors.CursorX1) || near(at.x(), cursors.CursorX2)))
        return Pointer::SizeWestEast;
    return Pointer::Default;
}

}  // namespace tracebay::mainwindow::CursorDrag
