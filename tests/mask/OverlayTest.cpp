#include "mask/Overlay.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/mask/CraftedUpload.h"

namespace tracebay::mask {
namespace {

using display::SlotBuilder;
using testing::squareUpload;
using Rows = std::vector<int>;

Reference squareReference() {
    std::string why;
    return *referenceFrom(squareUpload().slot, "CH1", why);
}

// Each reference sits on the axes of its source in the shown upload, in its half of a split
// screen, or on its own where nothing shows its source.
TEST(Overlay, ReferenceSitsOnTheAxesOfItsSource) {
    SlotBuilder otherScale = squareUpload([](Rows& r) {
        for (int& row : r) row = 100 + (row - 100) / 2;
    });
    otherScale.slot.Ch1ScaleText = "1.00V";
    SlotBuilder besideSplitFft = squareUpload();
    besideSplitFft.slot.FftDisplay = "ON";
    SlotBuilder nothing;
    nothing.slot.HasData = false;
    SlotBuilder xy = squareUpload();
    xy.slot.IsYT = false;
    xy.slot.IsXY = true;
    const struct {
        const char* what;
        SlotBuilder shown;
        std::set<int> ys;  // of the reference's lines: 0.8 V and -0.8 V
    } cases[] = {
        {"at 1 V per division", otherScale, {105, 145}},
        {"in the upper half beside a split FFT", besideSplitFft, {55, 95}},
        {"nothing uploaded: as it was kept", nothing, {85, 165}},
        {"X-Y", xy, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto surface = display::recordingSurface();
        drawComparison(surface, display::Screen{}, c.shown.slot,
                       {{{"REF A", squareReference()}}, std::nullopt});
        std::set<int> ys;
        for (const auto& line : display::linesIn(surface, referenceColor("REF A", true))) {
            ys.insert(line.y1);
            ys.insert(line.y2);
        }
        EXPECT_EQ(ys, c.ys);
        EXPECT_EQ(display::hasText(surface, "RA"), !c.ys.empty());
    }
}

// The band covers each pixel column of the trace once, 0.1 V (2.5 rows) either side of it, and
// each sample outside it is marked.
TEST(Overlay, BandCoversEveryColumnOnceAndMarksEachSampleOutside) {
    std::string why;
    const auto mask = makeMask(squareReference(), 0.2, 0, why);
    ASSERT_TRUE(mask) << why;
    const SlotBuilder shown = squareUpload([](Rows& r) { r[300] = r[301] = r[302] = 30; });
    auto surface = display::recordingSurface(2);
    drawComparison(surface, display::Screen{2}, shown.slot, {{}, *mask});
    std::vector<int> covered(surface.width());
    size_t marks = 0;
    for (const auto& box : surface.boxes()) {
        if (box.color == OutsideColor) {
            ++marks;
            continue;
        }
        EXPECT_EQ(box.color, MaskBandColor);
        EXPECT_EQ(box.opacity, MaskBandOpacity);
        for (int x = box.x; x < box.x + box.width; ++x) ++covered[x];
        EXPECT_TRUE(box.y == 25 + 2 * 55 || box.y == 25 + 2 * 135) << box.y;
    }
    EXPECT_EQ(marks, 3u);
    for (int x = 0; x < surface.width(); ++x)
        EXPECT_EQ(covered[x], x >= 25 && x < 25 + 2 * 300 ? 1 : 0) << x;
}

}  // namespace
}  // namespace tracebay::mask
