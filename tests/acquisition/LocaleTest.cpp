// A desktop whose numbers use a decimal comma must not change what the program reads or
// writes: instrument numbers and display texts always use ".".

#include <gtest/gtest.h>

#include <cstdio>

#include "acquisition/NumberFormat.h"
#include "acquisition/ValueText.h"
#include "sim/Instrument.h"
#include "tests/support/CommaDecimalLocale.h"
#include "tests/support/SessionRig.h"

namespace tracebay::acquisition {
namespace {

class DecimalComma : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(locale.active()) << "no locale with a decimal comma could be made";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        ASSERT_STREQ(probe, "0,5");  // the C library itself does write a comma now
    }

    testing::CommaDecimalLocale locale;
};

TEST_F(DecimalComma, ValueTextsKeepTheirPoint) {
    EXPECT_EQ(formatNumber(2.675, "0.00"), "2.68");
    EXPECT_EQ(VoltToText("5.000e-01"), "500mV");
    EXPECT_EQ(TimeToText("2.000e-04"), "200.0us");
    EXPECT_EQ(singleText(0.25f), "0.25");
    EXPECT_DOUBLE_EQ(ParseTimeText("1.500ms").value, 0.0015);
}

TEST_F(DecimalComma, SimulatedInstrumentAnswersWithAPoint) {
    EXPECT_EQ(sim::numberText(0.5), "5.000e-01");
    sim::Instrument instrument;
    instrument.execute(":CHANNEL1:SCALE 0.2");
    EXPECT_EQ(instrument.execute(":CHANNEL1:SCALE?")->bytes, "2.000e-01");
}

TEST_F(DecimalComma, UploadGivesTheSameTexts) {
    testing::SessionRig rig(testing::Transport::Usb);
    ASSERT_TRUE(rig.connect());
    const ScopeState& s = rig.upload(true);
    EXPECT_EQ(s.Ch1ScaleText, "500mV");
    EXPECT_EQ(s.TimeScaleText, "500.0us");
}

}  // namespace
}  // namespace tracebay::acquisition
