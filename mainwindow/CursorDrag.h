#pragma once

#include <QPoint>

#include "display/CursorOverlay.h"

namespace tracebay::mainwindow {

// Taking hold of the measuring cursors with the mouse, in the picture's pixels.
namespace CursorDrag {

// How close the pointer must come to a cursor to take hold of it.
inline constexpr double GrabDistance = 3;

// The cursors a press takes hold of: one time cursor and one voltage cursor at most, cursor 1
// before cursor 2; 0 for none.
struct Grab {
    int time = 0;
    int volt = 0;
};

enum class Pointer { Default, SizeWestEast, SizeNorthSouth };

Grab grabAt(const display::Cursors& cursors, QPoint at);
// Moves the cursor held (a time cursor before a voltage cursor) to the pointer; the pointer to
// show, or nothing moved and the default pointer when none is held.
Pointer drag(display::Cursors& cursors, const Grab& grab, QPoint at);
// The pointer over the picture while nothing is held: a sizing pointer over a cursor.
Pointer hover(const display::Cursors& cursors, QPoint at, double scale);

}  // namespace CursorDrag
}  // namespace tracebay::mainwindow
