// The sample series and the block lengths the upload asks for, held against what the drawings
// really read.

#include "export/SampleSeries.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "acquisition/DrawnElements.h"
#include "display/FftXy.h"
#include "display/LogicLines.h"
#include "display/Traces.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::exporting {
namespace {

using acquisition::drawnBlockLength;
using acquisition::ScopeState;
using display::SlotBuilder;

struct WindowRow {
    const char* name;
    const char* source;
    void (*setUp)(SlotBuilder&);
};

std::ostream& operator<<(std::ostream& out, const WindowRow& row) { return out << row.name; }

// Every primitive the drawing of one source leaves, in order.
using Drawn = std::vector<std::tuple<int, int, int, int>>;

Drawn draw(const WindowRow& row, const ScopeState& slot, const ScopeState::Samples& samples,
           double s) {
    const display::Screen screen{s};
    platform::PictureSurface surface(screen.pictureWidth(), screen.pictureHeight());
    surface.setRecording(true);
    const acquisition::SystemBlock& block = slot.SystemBlock;
    const std::string_view source = row.source;
    if (slot.IsXY)
        display::DrawXYTrace(surface, screen, samples, samples, slot.PointCount);
    else if (source == "CH1" || source == "CH2")
        display::DrawChannelTrace(surface, screen, samples, slot.PointCount, source, block,
                                  slot.TriggerMode, slot.FftDisplay);
    else if (source == "MATH")
        display::DrawMathTrace(surface, screen, samples, slot.PointCount, block, slot.TriggerMode);
    else if (source == "FFT")
        display::DrawFftTrace(surface, screen, samples, slot.PointCount, block, slot.TriggerMode);
    else
        display::DrawLaTraces(surface, screen, samples, slot.PointCount, block, slot.TriggerMode,
                              slot.FftDisplay, true);
    Drawn drawn;
    for (const auto& l : surface.lines()) drawn.emplace_back(l.x1, l.y1, l.x2, l.y2);
    for (const auto& d : surface.dots()) drawn.emplace_back(d.x, d.y, d.x, d.y);
    return drawn;
}

// The samples of a slot's source, the logic lines' as their first byte's element.
struct Elements {
    long first;
    long last;
};

Elements seriesElements(const WindowRow& row, const ScopeState& slot) {
    if (std::string_view(row.source) == "LA") {
        const auto words = acquisition::drawnWords(slot);
        return {words.firstByte, words.firstByte + 2L * (words.count - 1)};
    }
    const auto drawn = acquisition::drawnElements(row.source, slot);
    return {drawn.first, drawn.last};
}

// The slot with a source captured and delivered in full, every element a distinct neighbour of
// the next, so that the series can be read back element by element.
ScopeState uploadOf(const WindowRow& row) {
    SlotBuilder b;
    b.byte(13, 1).byte(14, 1).byte(15, 1).byte(34, 1).byte(70, 1);
    row.setUp(b);
    ScopeState::Samples samples(ScopeState::SampleCount);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(i * 37 % 200);
    const std::string_view source = row.source;
    b.slot.CapturedCh1 = source == "CH1" || b.slot.IsXY;
    b.slot.CapturedCh2 = source == "CH2";
    b.slot.CapturedMath = source == "MATH" || source == "FFT";
    b.slot.CapturedLa = source == "LA";
    if (source == "FFT") b.slot.FftDisplay = "ON";
    if (source == "LA") {
        b.int16(72, 0xFFFF).byte(107, 5).byte(108, 5);
        for (int line = 0; line < 16; ++line)
            b.int16(74 + 2 * static_cast<size_t>(line), 40 + 10 * line);
    }
    b.slot.Ch1Samples = b.slot.Ch2Samples = b.slot.MathSamples = b.slot.FftSamples =
        b.slot.LaSamples = samples;
    return b.slot;
}

class DrawnElements : public ::testing::TestWithParam<WindowRow> {};

// At no zoom does a drawing read past the length, and at some zoom it reads its last element.
TEST_P(DrawnElements, TheBlockLengthCoversEveryElementTheDrawingReadsAndNoMore) {
    SlotBuilder b;
    GetParam().setUp(b);
    const int32_t length = drawnBlockLength(GetParam().source, b.slot);
    ASSERT_GT(length, 2);
    bool readsTheEnd = false;
    for (double s : {0.3, 0.5, 1.0, 1.37, 2.0, 3.33, 4.5, 10.0}) {
        EXPECT_NO_THROW(draw(GetParam(), b.slot, ScopeState::Samples(length + 1, 100), s))
            << "zoom " << s;
        try {
            draw(GetParam(), b.slot, ScopeState::Samples(length, 100), s);
        } catch (const display::DrawingAbandoned&) {
            readsTheEnd = true;
        }
    }
    EXPECT_TRUE(readsTheEnd) << "no drawing reads element " << length;
}

// The series begins and ends where the drawing does: a change to its first or last element
// changes the picture, one just outside it does not.
TEST_P(DrawnElements, TheSeriesHoldsExactlyTheElementsThePictureShows) {
    const ScopeState slot = uploadOf(GetParam());
    const Elements series = seriesElements(GetParam(), slot);
    ASSERT_LT(series.first, series.last);
    const ScopeState::Samples& samples = slot.Ch1Samples;
    const Drawn picture = draw(GetParam(), slot, samples, 4);
    const auto changedAt = [&](long element) {
        ScopeState::Samples changed = samples;
        auto& value = changed[static_cast<size_t>(element)];
        value = value >= 50 ? 10 : 60;  // a row that shows even on a split screen's half
        return draw(GetParam(), slot, changed, 4) != picture;
    };
    const long pairing = std::string_view(GetParam().source) == "LA" ? 2 : 1;
    EXPECT_FALSE(changedAt(series.first - pairing)) << "element " << series.first - pairing;
    EXPECT_TRUE(changedAt(series.first)) << "element " << series.first;
    EXPECT_TRUE(changedAt(series.last)) << "element " << series.last;
    EXPECT_FALSE(changedAt(series.last + pairing)) << "element " << series.last + pairing;
}

// The series' samples are the elements in order, as many as the screen draws: two a column.
TEST_P(DrawnElements, TheSeriesReadsTheElementsInOrder) {
    const ScopeState slot = uploadOf(GetParam());
    const Elements elements = seriesElements(GetParam(), slot);
    if (std::string_view(GetParam().source) == "LA") {
        const auto logic = logicSeries(slot);
        ASSERT_TRUE(logic);
        ASSERT_EQ(static_cast<long>(logic->size()), (elements.last - elements.first) / 2 + 1);
        for (size_t j = 0; j < logic->size(); ++j) {
            const size_t low = static_cast<size_t>(elements.first) + 2 * j;
            EXPECT_EQ(logic->words[j], slot.LaSamples[low + 1] << 8 | slot.LaSamples[low]) << j;
        }
        return;
    }
    const auto all = sampleSeries(slot);
    ASSERT_FALSE(all.empty());
    const SampleSeries& series = all.front();
    ASSERT_EQ(static_cast<long>(series.size()), elements.last - elements.first + 1);
    const bool split =
        slot.FftDisplay == "ON" && slot.SystemBlock.FftFullScreen() == 0 && series.source == "FFT";
    for (size_t i = 0; i < series.size(); ++i) {
        const int32_t v = slot.Ch1Samples[static_cast<size_t>(elements.first) + i];
        EXPECT_EQ(series.rows[i], split ? std::min(2 * v + 25, 200) : v) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DrawnElements,
    ::testing::Values(
        WindowRow{"Ch1WholeScreen", "CH1", [](SlotBuilder&) {}},
        WindowRow{"Ch2Window", "CH2", [](SlotBuilder& b) { b.int16(0, 37).int16(2, 211); }},
        WindowRow{"Ch1AlternateUpperHalf", "CH1",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(4, 20).int16(6, 140);
                  }},
        WindowRow{"Ch2AlternateLowerHalf", "CH2",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(8, 150).int16(10, 299);
                  }},
        WindowRow{"Ch1With300Points", "CH1", [](SlotBuilder& b) { b.slot.PointCount = 300; }},
        WindowRow{"MathWholeScreen", "MATH", [](SlotBuilder&) {}},
        WindowRow{"MathAlternateLowerHalf", "MATH",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(8, 10).int16(10, 200);
                  }},
        WindowRow{"FftCentred", "FFT",
                  [](SlotBuilder& b) { b.int16(68, 150).int16(60, 4).byte(37, 1); }},
        WindowRow{"FftSplitScreen", "FFT", [](SlotBuilder& b) { b.int16(68, 150).int16(60, 4); }},
        WindowRow{"FftNarrowSpan", "FFT", [](SlotBuilder& b) { b.int16(68, 40).int16(60, 7); }},
        WindowRow{"FftFarCentre", "FFT", [](SlotBuilder& b) { b.int16(68, 2600).int16(60, 1); }},
        WindowRow{"LogicWholeScreen", "LA", [](SlotBuilder&) {}},
        WindowRow{"LogicFromColumn120", "LA", [](SlotBuilder& b) { b.int16(0, 120); }},
        WindowRow{"XyChannels", "CH1",
                  [](SlotBuilder& b) {
                      b.slot.IsYT = false;
                      b.slot.IsXY = true;
                  }}),
    [](const auto& row) { return row.param.name; });

TEST(DrawnElementsWindow, NothingDrawnNeedsNothing) {
    SlotBuilder b;
    b.int16(0, 200).int16(2, 100);
    EXPECT_EQ(drawnBlockLength("CH1", b.slot), 0);
    b.slot.PointCount = 0;
    EXPECT_EQ(drawnBlockLength("LA", b.slot), 0);
}

}  // namespace
}  // namespace tracebay::exporting
