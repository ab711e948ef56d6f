#include "decode/DecoderSpec.h"

#include <gtest/gtest.h>

#include "decode/Decoding.h"

namespace tracebay::decode {
namespace {

struct SourceRow {
    const char* text;
    std::optional<ChannelSource> source;
};

class ChannelSources : public ::testing::TestWithParam<SourceRow> {};

TEST_P(ChannelSources, AreTheLinesAndChannels) {
    const auto source = channelSource(GetParam().text);
    EXPECT_EQ(source, GetParam().source);
    if (source) {
        EXPECT_EQ(source->text(), GetParam().text);
    }
}

using Kind = ChannelSource::Kind;

INSTANTIATE_TEST_SUITE_P(
    Texts, ChannelSources,
    ::testing::Values(SourceRow{"D0", ChannelSource{Kind::Line, 0, {}}},
                      SourceRow{"D15", ChannelSource{Kind::Line, 15, {}}},
                      SourceRow{"D16", std::nullopt}, SourceRow{"D01", std::nullopt},
                      SourceRow{"d0", std::nullopt}, SourceRow{"D", std::nullopt},
                      SourceRow{"CH2", ChannelSource{Kind::Channel, 2, {}}},
                      SourceRow{"CH1@1.5", ChannelSource{Kind::Channel, 1, 1.5}},
                      SourceRow{"CH2@-0.25", ChannelSource{Kind::Channel, 2, -0.25}},
                      SourceRow{"CH1@", std::nullopt}, SourceRow{"CH1@1.5V", std::nullopt},
                      SourceRow{"CH1@nan", std::nullopt}, SourceRow{"CH3", std::nullopt}));

struct RefusalRow {
    std::string spec;
    std::string reason;
};

class RefusedStack : public ::testing::TestWithParam<RefusalRow> {};

// What the library's lists do not hold is refused with its reason, before anything decodes.
TEST_P(RefusedStack, NamesWhatIsWrong) {
    std::string error;
    const auto spec = parseStack(GetParam().spec, error);
    if (spec) {
        EXPECT_FALSE(resolveStacks({*spec}, error));
    }
    EXPECT_EQ(error, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, RefusedStack,
    ::testing::Values(
        RefusalRow{"", "\"\" names no decoder"},
        RefusalRow{"uart:rx", "uart: \"rx\" is no name=value"},
        RefusalRow{"nosuch:rx=D0", "no decoder is named \"nosuch\""},
        RefusalRow{"common", "no decoder is named \"common\""},
        RefusalRow{"uart:rx=D16",
                   "uart: rx=D16 names no line (D0 ... D15, CH1, CH2, or CH1@1.5 "
                   "for a level in volts)"},
        RefusalRow{"uart:rx=D0:baudrate=fast", "uart: baudrate takes a whole number, not \"fast\""},
        RefusalRow{"uart:rx=D0:data_bits=10",
                   "uart: data_bits takes one of 5, 6, 7, 8, 9, not \"10\""},
        RefusalRow{"uart:rx=D0:speed=1", "uart: it has no channel or option named \"speed\""},
        RefusalRow{"uart:rx=D0:rx=D1", "uart: rx is given twice"},
        RefusalRow{"uart", "uart: it needs at least one of its channels rx, tx"},
        RefusalRow{"i2c:scl=D1", "i2c: it needs its channel sda"},
        RefusalRow{"eeprom24xx",
                   "eeprom24xx reads what another decoder gives: write it after one, as in "
                   "\"i2c:...,eeprom24xx\""},
        RefusalRow{"uart:rx=D0,eeprom24xx", "eeprom24xx cannot read what uart gives"}));

// Options take the kind of their default; channels their sources, in the stack's order.
TEST(ResolvedStack, TakesTypedOptionsAndSources) {
    std::string error;
    const auto spec =
        parseStack("uart:tx=CH1@1.5:rx=D3:baudrate=9600:parity=odd:stop_bits=1.5", error);
    ASSERT_TRUE(spec) << error;
    const auto stacks = resolveStacks({*spec}, error);
    ASSERT_TRUE(stacks) << error;
    const DecoderUse& uart = stacks->front().decoders.front();
    EXPECT_EQ(
        uart.options,
        (std::vector<std::pair<std::string, OptionValue>>{
            {"baudrate", int64_t{9600}}, {"parity", std::string("odd")}, {"stop_bits", 1.5}}));
    EXPECT_EQ(stacks->front().sources(),
              (std::vector<ChannelSource>{*channelSource("CH1@1.5"), *channelSource("D3")}));
    // A blank after a comma, as a hand-edited settings file has it, is no part of a name.
    const auto stacked = parseStack("i2c:scl=D1:sda=D2, eeprom24xx", error);
    ASSERT_TRUE(stacked) << error;
    EXPECT_EQ(stacked->decoders.back().decoder, "eeprom24xx");
}

}  // namespace
}  // namespace tracebay::decode
