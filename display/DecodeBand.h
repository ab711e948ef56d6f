#pragma once

#include <string>
#include <vector>

#include "display/Screen.h"

namespace tracebay::display {

// A labelled box on the band: from one screen column to another, with texts (UTF-8) from the
// longest to the shortest, of which the longest that fits is written.
struct BandBox {
    double startColumn = 0;
    double endColumn = 0;
    std::vector<std::string> texts;
    int colorIndex = 0;
};

struct BandRow {
    std::string label;
    std::vector<BandBox> boxes;
};

// What the decoders found, in rows under the picture.
struct Band {
    static constexpr int RowHeight = 14;

    std::vector<BandRow> rows;
    int height() const { return static_cast<int>(rows.size()) * RowHeight; }
};

// Draws the band under the screen's picture, a row each: its label in the margin left of the
// grid, its boxes under the columns they span (within the grid's), in the picture's scheme. The
// picture above is left as it is.
void DrawBand(platform::PictureSurface& surface, const Screen& screen, const Band& band,
              bool colorScheme);

}  // namespace tracebay::display
