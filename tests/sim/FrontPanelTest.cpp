#include "sim/FrontPanel.h"

#include <gtest/gtest.h>

namespace tracebay::sim {
namespace {

class FrontPanel : public ::testing::Test {
protected:
    bool press(const char* name) { return pressKey(s, identity, name); }

    Identity identity;
    InstrumentState s = defaultState();
};

TEST_F(FrontPanel, RunTogglesRunAndStop) {
    press(":RUN");
    EXPECT_FALSE(s.running);
    press(":RUN");
    EXPECT_TRUE(s.running);
}

TEST_F(FrontPanel, VerticalScaleKeysStepTheSelectedChannel) {
    s.selected = Trace::Ch2;
    s.channels[1].scale = 0.5;
    press(":V_SCALE_INC");
    EXPECT_DOUBLE_EQ(s.channels[1].scale, 1.0);
    press(":V_SCALE_DEC");
    press(":V_SCALE_DEC");
    EXPECT_DOUBLE_EQ(s.channels[1].scale, 0.2);
    EXPECT_DOUBLE_EQ(s.channels[0].scale, 0.5);
}

TEST_F(FrontPanel, VerticalScaleStopsAtItsLimits) {
    s.channels[0].scale = 10;
    press(":V_SCALE_INC");
    EXPECT_DOUBLE_EQ(s.channels[0].scale, 10);
}

TEST_F(FrontPanel, VerticalPositionMovesOneRowAndItsKnobPushCentres) {
    s.channels[0].offset = 0;
    press(":V_POS_INC");
    EXPECT_DOUBLE_EQ(s.channels[0].offset, 0.5 / 25);
    press(":PROMPT_V_POS");
    EXPECT_DOUBLE_EQ(s.channels[0].offset, 0);
}

TEST_F(FrontPanel, HorizontalKeysMoveTheTimeBase) {
    press(":H_SCALE_DEC");
    EXPECT_DOUBLE_EQ(s.timebase.scale, 200e-6);
    press(":H_POS_INC");
    EXPECT_DOUBLE_EQ(s.timebase.offset, 200e-6 / 25);
    press(":PROMPT_H_POS");
    EXPECT_DOUBLE_EQ(s.timebase.offset, 0);
}

TEST_F(FrontPanel, AlternateTriggerStepsTheChosenHalfsTimeBase) {
    s.triggerMode = TriggerMode::Alternation;
    s.altSource = 1;
    press(":H_SCALE_INC");
    EXPECT_DOUBLE_EQ(s.altTimebase[1].scale, 500e-6);
    EXPECT_DOUBLE_EQ(s.timebase.scale, 500e-6);
}

TEST_F(FrontPanel, TriggerLevelMovesAndFiftyPercentCentresIt) {
    press(":TRIG_LVL_INC");
    press(":TRIG_LVL_INC");
    EXPECT_DOUBLE_EQ(s.triggerLevel, 2 * 0.5 / 25);
    press(":TRIG%50");
    EXPECT_DOUBLE_EQ(s.triggerLevel, 0);
}

TEST_F(FrontPanel, AutoRestoresTheDefaultsButKeepsTracesOn) {
    s.channels[0].scale = 5;
    s.timebase.scale = 1;
    s.running = false;
    s.mathOn = true;
    press(":AUTO");
    EXPECT_DOUBLE_EQ(s.channels[0].scale, defaultState().channels[0].scale);
    EXPECT_DOUBLE_EQ(s.timebase.scale, defaultState().timebase.scale);
    EXPECT_TRUE(s.running);
    EXPECT_TRUE(s.mathOn);
}

TEST_F(FrontPanel, TraceKeysTurnOnSelectAndThenOpenTheMenu) {
    s.channels[1].on = false;
    press(":CHANNEL2");
    EXPECT_TRUE(s.channels[1].on);
    EXPECT_EQ(s.selected, Trace::Ch2);
    press(":CHANNEL1");
    EXPECT_EQ(s.selected, Trace::Ch1);
    EXPECT_EQ(s.menu, Menu::None);
    press(":CHANNEL1");
    EXPECT_EQ(s.menu, Menu::Ch1);
    press(":OFF");
    EXPECT_FALSE(s.channels[0].on);
    EXPECT_EQ(s.selected, Trace::Ch2);
}

TEST_F(FrontPanel, LogicKeyNeedsTheLogicAnalyzer) {
    EXPECT_TRUE(press(":LA"));
    EXPECT_TRUE(s.la.on);
    identity.model = "QM1102";
    s.la.on = false;
    EXPECT_FALSE(press(":LA"));
    EXPECT_FALSE(s.la.on);
}

TEST_F(FrontPanel, SoftKeysActOnTheMenuShown) {
    s.mathOn = true;
    s.selected = Trace::Math;
    press(":MATH");
    ASSERT_EQ(s.menu, Menu::Math);
    press(":F1");
    EXPECT_EQ(s.mathOperation, MathOperation::Subtract);
    press(":F1");
    press(":F1");
    EXPECT_TRUE(s.fftShown());
    press(":F2");
    EXPECT_TRUE(s.fft.fullScreen);
    press(":+FUNCTION");
    EXPECT_EQ(s.fft.centre, 160);
    press(":FUNCTION");
    EXPECT_EQ(s.fft.centre, 150);
    press(":MNUTIME");
    press(":F1");
    EXPECT_EQ(s.format, TimeFormat::XY);
    press(":MNUOFF");
    EXPECT_FALSE(s.menuDisplay);
}

TEST_F(FrontPanel, EveryKeyOfThePanelIsKnown) {
    for (const char* key : {":MNUOFF",       ":F1",           ":F2",
                            ":F3",           ":F4",           ":F5",
                            ":-FUNCTION",    ":FUNCTION",     ":+FUNCTION",
                            ":MEASURE",      ":ACQUIRE",      ":STORAGE",
                            ":CURSOR",       ":DISPLAY",      ":UTILITY",
                            ":AUTO",         ":RUN",          ":CHANNEL1",
                            ":CHANNEL2",     ":MATH",         ":REF",
                            ":LA",           ":OFF",          ":V_POS_INC",
                            ":V_POS_DEC",    ":PROMPT_V_POS", ":V_SCALE_DEC",
                            ":V_SCALE_INC",  ":PROMPT_V",     ":H_POS_INC",
                            ":PROMPT_H_POS", ":H_POS_DEC",    ":MNUTIME",
                            ":H_SCALE_DEC",  ":PROMPT_H",     ":H_SCALE_INC",
                            ":TRIG_LVL_INC", ":TRIG_LVL_DEC", ":PROMPT_TRIG_LVL",
                            ":MNUTRIG",      ":TRIG%50",      ":FORCE"})
        EXPECT_TRUE(press(key)) << key;
    EXPECT_FALSE(press(":NO_SUCH_KEY"));
}

struct StepRow {
    double from;
    int direction;
    double to;
};

std::ostream& operator<<(std::ostream& out, const StepRow& row) {
    return out << row.from << (row.direction > 0 ? " up" : " down");
}

class Step125 : public ::testing::TestWithParam<StepRow> {};

TEST_P(Step125, StepsAlongOneTwoFive) {
    EXPECT_NEAR(step125(GetParam().from, GetParam().direction, 1e-9, 100), GetParam().to,
                GetParam().to * 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Values, Step125,
                         ::testing::Values(StepRow{1, 1, 2}, StepRow{2, 1, 5}, StepRow{5, 1, 10},
                                           StepRow{1, -1, 0.5}, StepRow{0.2, -1, 0.1},
                                           StepRow{5e-9, -1, 2e-9}, StepRow{0.45, 1, 1},
                                           StepRow{100, 1, 100}, StepRow{0.002, 0, 0.002}));

}  // namespace
}  // namespace tracebay::sim
