#include "decode/InputFrame.h"

#include <gtest/gtest.h>

#include "export/SampleSeries.h"
#include "tests/decode/CraftedUploads.h"

namespace tracebay::decode {
namespace {

using namespace testing;

// D0 and CH1 fall together at column 20; CH1's series begins half a column before the lines',
// so the frame begins with the lines and both change at its word 40.
TEST(InputFrame, HoldsLinesAndChannelsAtTheSamePlaces) {
    const auto before = [](double t) { return t < timeAtPlace(20); };
    acquisition::ScopeState upload =
        linesUpload([&](double t) { return static_cast<uint16_t>(before(t) ? 0x0001 : 0x0100); });
    addChannel(upload, [&](double t) { return before(t) ? 3.3 : 0.0; });
    const std::vector<ChannelSource> sources{*channelSource("CH1"), *channelSource("D0"),
                                             *channelSource("D8")};
    std::string reason;
    const auto frame = inputFrame(upload, sources, reason);
    ASSERT_TRUE(frame) << reason;
    EXPECT_EQ(frame->firstPlace, 0);
    EXPECT_EQ(frame->step, 0.5);
    EXPECT_EQ(frame->sampleRate, 100000u);
    // Up to the last place both have.
    const auto lines = *exporting::logicSeries(upload);
    const auto channel = exporting::sampleSeries(upload).front();
    const double last = std::min(lines.place(lines.size() - 1), channel.place(channel.size() - 1));
    ASSERT_EQ(frame->words.size(), static_cast<size_t>(last / 0.5) + 1);
    const uint32_t ch1 = 1u << InputFrame::FirstChannelBit;
    EXPECT_EQ(frame->words[39], ch1 | 0x0001);
    EXPECT_EQ(frame->words[40], 0x0100u);
    EXPECT_EQ(frame->words.back(), 0x0100u);
    EXPECT_EQ(frameBit(sources, sources[0]), InputFrame::FirstChannelBit);
    EXPECT_DOUBLE_EQ(frame->timeOf(40), (20 - 150) * 20e-6);
}

}  // namespace
}  // namespace tracebay::decode
