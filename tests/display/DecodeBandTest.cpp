#include "display/DecodeBand.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

using Box = platform::PictureSurface::Box;

// At twice the size: a column is two pixels from the grid's left edge at 25, the band starts
// at the picture's bottom (500), a row 14 pixels high, a box inside its row by a pixel.
TEST(DecodeBand, BoxesLieUnderTheirColumnsWithTheLongestTextThatFits) {
    const Screen screen{2};
    const Band band{{{"RX data",
                      {{10, 60, {"Start bit", "Start", "S"}, 0},
                       {30, 36, {"Start bit", "Start", "S"}, 0},
                       {-5, 3, {"x"}, 1}}},
                     {"Bits", {{295, 310, {"1"}, 2}, {12, 12, {"edge"}, 3}}}}};
    platform::PictureSurface surface(screen.pictureWidth(), screen.pictureHeight() + band.height());
    surface.setRecording(true);
    DrawBand(surface, screen, band, true);

    std::vector<std::pair<int, int>> spans;  // the boxes' fills, background first
    for (const Box& box : surface.boxes()) spans.emplace_back(box.x, box.x + box.width);
    EXPECT_EQ(spans, (std::vector<std::pair<int, int>>{
                         {0, 700}, {45, 145}, {85, 97}, {25, 31}, {615, 625}}));
    EXPECT_EQ(surface.boxes().front().y, 500);
    EXPECT_EQ(surface.boxes().front().height, 2 * Band::RowHeight);
    EXPECT_EQ(surface.boxes()[1].y, 501);
    EXPECT_EQ(surface.boxes()[4].y, 501 + Band::RowHeight);

    std::vector<std::string> texts;
    for (const auto& t : surface.texts()) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"RX d", "Start bit", "S", "Bits", "1"}));
    // A box too narrow for its text has none; one of no width is a mark.
    EXPECT_TRUE(std::any_of(surface.lines().begin(), surface.lines().end(), [](const auto& l) {
        return l.x1 == 49 && l.x2 == 49 && l.y1 == 501 + Band::RowHeight;
    }));
}

}  // namespace
}  // namespace tracebay::display
