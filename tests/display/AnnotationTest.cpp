#include "display/Annotation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

using Text = platform::PictureSurface::Text;

class Annotation : public ::testing::Test {
protected:
    const Text* text(const std::string& wanted) const {
        for (const auto& t : surface.texts())
            if (t.text == wanted) return &t;
        return nullptr;
    }
    // The x of the flags' left edges ("T" is written one pixel right of it).
    std::vector<int> flags() const {
        std::vector<int> xs;
        for (const auto& t : surface.texts())
            if (t.text == "T") xs.push_back(t.x - 1);
        return xs;
    }

    SlotBuilder b;
    platform::PictureSurface surface = recordingSurface();
};

TEST_F(Annotation, ChannelGroundMarkerAndScaleText) {
    const double s = 2;
    surface = recordingSurface(s);
    surface.setForeColor(Ch1TraceColor);
    DrawChannelAnnotation(surface, Screen{s}, "CH1", "0.00uV", "1.00V", "EDGE", "OFF", 0);
    ASSERT_FALSE(surface.lines().empty());
    const auto& arrow = surface.lines().front();  // (6, Y) to (19, Y)
    EXPECT_EQ(arrow.x1, 6);
    EXPECT_EQ(arrow.x2, 19);
    EXPECT_EQ(arrow.y1, 100 * 2 + 20);
    EXPECT_EQ(surface.lines().size(), 5u);
    const Text* label = text("1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x, 10);
    EXPECT_EQ(label->y, 219);
    EXPECT_FALSE(label->bold);
    const Text* scale = text("CH1 1.00V");
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->x, 25);
    EXPECT_EQ(scale->y, 25 + 203 * 2);
    EXPECT_TRUE(scale->bold);
    EXPECT_EQ(scale->color, Ch1TraceColor);
}

TEST_F(Annotation, GroundOnTheTopGridLineDrawsNothing) {
    DrawChannelAnnotation(surface, Screen{1}, "CH1", "4.00V", "1.00V", "EDGE", "OFF", 0);
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_TRUE(surface.texts().empty());
}

TEST_F(Annotation, Ch2InAlternateTriggerIsHalvedAndMovedToTheLowerHalf) {
    DrawChannelAnnotation(surface, Screen{1}, "CH2", "1.00V", "1.00V", "ALTERNATION", "OFF", 0);
    // r = 75, halved: 37.5; Y = 37.5 + 20 + 100.
    EXPECT_EQ(surface.lines().front().y1, 158);
    EXPECT_EQ(text("CH2 1.00V")->x, 100);
}

class UnusableScale : public Annotation, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnusableScale, SkipsTheChannelsMarkerAndText) {
    DrawChannelAnnotation(surface, Screen{1}, "CH1", "0.00uV", GetParam(), "EDGE", "OFF", 0);
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_TRUE(surface.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, UnusableScale,
                         ::testing::Values("0.00uV", "2.00kV", "??.?V", "", "-1.00V"));

TEST_F(Annotation, TriggerAtZeroDelaySitsUnderTheCentreTriangle) {
    DrawTriggerAnnotation(surface, Screen{1}, "500.0us", "0.000s", true);
    EXPECT_EQ(flags(), std::vector<int>{150 + 21});
    EXPECT_EQ(surface.lines().front().x1, 171);  // the fixed triangle
    EXPECT_EQ(surface.lines().front().color, TriggerColor);
    const Text* delay = text("Delay:0.000s");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->x, 225);
    EXPECT_EQ(delay->y, 228);
    EXPECT_FALSE(delay->bold);
    const Text* scale = text("500.0us");
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->x, 175);
    EXPECT_TRUE(scale->bold);
    EXPECT_EQ(scale->color, White);
}

struct FlagRow {
    const char* scale;
    const char* offset;
    int x;  // the flag's left edge at 100%
};

std::ostream& operator<<(std::ostream& out, const FlagRow& row) {
    return out << row.offset << " at " << row.scale;
}

class TriggerFlag : public Annotation, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(TriggerFlag, MovesWithTheDelay) {
    DrawTriggerAnnotation(surface, Screen{1}, GetParam().scale, GetParam().offset, true);
    EXPECT_EQ(flags(), std::vector<int>{GetParam().x});
    ASSERT_EQ(surface.lines().size(), 8u);  // the triangle, then the flag
    EXPECT_EQ(surface.lines()[3].x1, GetParam().x);
}

// p = 150 - 25 * offset / scale, the flag at p + 21; 2.250ms over 500.0us puts p a hair past
// 37.5 when the texts are read by dividing.
INSTANTIATE_TEST_SUITE_P(Rows, TriggerFlag,
                         ::testing::Values(FlagRow{"1.000ms", "2.000ms", 100 + 21},
                                           FlagRow{"500.0us", "2.250ms", 59},
                                           FlagRow{"500.0us", "-200.0us", 160 + 21}));

TEST_F(Annotation, TriggerBeyondTheGridGetsNoMarkerButItsTexts) {
    DrawTriggerAnnotation(surface, Screen{1}, "1.000ms", "-6.000ms", false);
    EXPECT_TRUE(flags().empty());
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_EQ(text("Delay:-6.000ms")->color, Black);
}

TEST_F(Annotation, TriggerWithAZeroScaleGetsNoMarkerButItsTexts) {
    DrawTriggerAnnotation(surface, Screen{1}, "0.000s", "1.000ms", true);
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_NE(text("Delay:1.000ms"), nullptr);
    EXPECT_NE(text("0.000s"), nullptr);
}

TEST_F(Annotation, AlternateTriggerHasAFlagAtTheTopOfEachHalf) {
    DrawAltTriggerAnnotation(surface, Screen{1}, "500.0us", "0.000s", "500.0us", "0.000s", true);
    EXPECT_EQ(flags(), (std::vector<int>{171, 171}));
    std::vector<int> flagTops;
    for (const auto& t : surface.texts())
        if (t.text == "T") flagTops.push_back(t.y);
    EXPECT_EQ(flagTops, (std::vector<int>{31, 131}));
    const Text* delay1 = text("Delay1: 0.000s");
    const Text* delay2 = text("Delay2: 0.000s");
    ASSERT_NE(delay1, nullptr);
    ASSERT_NE(delay2, nullptr);
    EXPECT_EQ(delay1->x, 175);
    EXPECT_EQ(delay2->x, 255);
    EXPECT_EQ(delay1->color, Ch1TraceColor);
    EXPECT_EQ(delay2->color, Ch2TraceColor);
    std::vector<int> scaleRows;
    for (const auto& t : surface.texts())
        if (t.text == "500.0us") scaleRows.push_back(t.y);
    EXPECT_EQ(scaleRows, (std::vector<int>{110, 210}));
}

// The widest texts the instrument gives, in each layout of the bottom rows.
struct WidestTexts {
    const char* triggerMode;
    const char* scale;
    const char* ch2Offset;
    const char* timeScale;
    const char* delay;
};

std::ostream& operator<<(std::ostream& out, const WidestTexts& row) {
    return out << row.triggerMode << " " << row.scale << " " << row.timeScale << " " << row.delay;
}

class TextLayout : public Annotation, public ::testing::WithParamInterface<WidestTexts> {};

TEST_P(TextLayout, TextsOnARowKeepApartAndInsideThePicture) {
    const WidestTexts& row = GetParam();
    const Screen screen{1};
    DrawChannelAnnotation(surface, screen, "CH1", "0.00uV", row.scale, row.triggerMode, "OFF", 0);
    DrawChannelAnnotation(surface, screen, "CH2", row.ch2Offset, row.scale, row.triggerMode, "OFF",
                          0);
    if (std::string_view(row.triggerMode) == "ALTERNATION")
        DrawAltTriggerAnnotation(surface, screen, row.timeScale, row.delay, row.timeScale,
                                 row.delay, true);
    else
        DrawTriggerAnnotation(surface, screen, row.timeScale, row.delay, true);
    std::map<int, std::vector<Text>> rows;
    for (const Text& t : surface.texts()) {
        EXPECT_LE(t.x + t.width, surface.width()) << t.text;
        EXPECT_LE(t.y + t.height, surface.height()) << t.text;
        rows[t.y].push_back(t);
    }
    const auto bottom = rows.find(25 + 203);
    ASSERT_NE(bottom, rows.end());
    EXPECT_EQ(bottom->second.size(), 4u);
    for (auto& [y, texts] : rows) {
        std::sort(texts.begin(), texts.end(), [](auto& a, auto& b) { return a.x < b.x; });
        for (size_t i = 1; i < texts.size(); ++i)
            EXPECT_LT(texts[i - 1].x + texts[i - 1].width, texts[i].x)
                << texts[i - 1].text << " runs into " << texts[i].text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextLayout,
    ::testing::Values(WidestTexts{"EDGE", "500mV", "-101mV", "1.000ms", "-100.0us"},
                      WidestTexts{"EDGE", "50.0mV", "-101mV", "100.0ms", "-100.0us"},
                      WidestTexts{"ALTERNATION", "500mV", "-101mV", "1.000ms", "-100.0us"},
                      WidestTexts{"ALTERNATION", "5.00mV", "-5.00mV", "500.0us", "-100.0us"}));

TEST_F(Annotation, FftInDecibelsNamesItsScaleAndFrequency) {
    b.byte(16, 3).byte(38, 1).single(40, 10).single(56, 5000).int16(52, 75).byte(37, 1);
    DrawMathAnnotation(surface, Screen{1}, b.slot.SystemBlock, "EDGE", "ON");
    EXPECT_NE(text("FFT 10.0dBVrms/div "), nullptr);
    EXPECT_EQ(text("5.000kHz/div")->x, 175);
    EXPECT_EQ(text("5.000kHz/div")->y, 239);
    EXPECT_EQ(surface.lines().front().y1, 25 + 20);  // r = 100 - 75
    EXPECT_EQ(text("m")->x, 9);
}

TEST_F(Annotation, LinearFftNamesVoltsRms) {
    b.byte(16, 3).byte(38, 0).single(40, 0.5f).single(56, 2.5f).byte(37, 0);
    DrawMathAnnotation(surface, Screen{1}, b.slot.SystemBlock, "EDGE", "ON");
    EXPECT_NE(text("FFT 500mVrms/div  "), nullptr);
    EXPECT_NE(text("2.500Hz/div"), nullptr);
    EXPECT_EQ(surface.lines().front().y1, 50 + 20 + 100);  // split: halved, lower half
}

TEST_F(Annotation, MathScaleOfAProductIsSquared) {
    b.byte(16, 2).single(28, 2).int16(24, 25);
    DrawMathAnnotation(surface, Screen{1}, b.slot.SystemBlock, "EDGE", "OFF");
    EXPECT_NE(text("Math scale 2.00V2"), nullptr);
    EXPECT_EQ(surface.lines().front().y1, 75 + 20);
}

TEST_F(Annotation, MathGroundOffTheScreenDrawsNothing) {
    b.byte(16, 0).int16(24, 100);
    DrawMathAnnotation(surface, Screen{1}, b.slot.SystemBlock, "EDGE", "OFF");
    EXPECT_TRUE(surface.texts().empty());
}

}  // namespace
}  // namespace tracebay::display
