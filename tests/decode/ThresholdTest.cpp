#include "decode/Threshold.h"

#include <gtest/gtest.h>

#include <vector>

namespace tracebay::decode {
namespace {

std::vector<double> repeated(std::initializer_list<std::pair<double, int>> runs) {
    std::vector<double> volts;
    for (const auto& [v, n] : runs) volts.insert(volts.end(), static_cast<size_t>(n), v);
    return volts;
}

struct LevelsRow {
    const char* name;
    std::vector<double> volts;
    double base;
    double top;
};

class ChannelLevels : public ::testing::TestWithParam<LevelsRow> {};

TEST_P(ChannelLevels, AreTheModesOrTheExtremes) {
    const Levels levels = channelLevels(GetParam().volts);
    EXPECT_DOUBLE_EQ(levels.base, GetParam().base);
    EXPECT_DOUBLE_EQ(levels.top, GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(
    Channels, ChannelLevels,
    ::testing::Values(
        LevelsRow{"PlateausWithOvershoot",
                  repeated({{0, 40}, {-1, 1}, {0.1, 2}, {3.3, 30}, {4.5, 1}, {3.2, 3}}), 0, 3.3},
        LevelsRow{"Ramp", {0, 0.5, 1, 1.5, 2, 2.5, 3}, 0, 3},
        LevelsRow{"OnePlateau", repeated({{1, 50}, {0, 1}, {0.5, 1}, {0.9, 1}}), 0, 1},
        LevelsRow{"Flat", repeated({{2, 10}}), 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Levels 0 and 10 V: the threshold at 5 V, the band from 4.5 to 5.5 V.
TEST(Thresholded, KeepsTheLevelInsideTheBand) {
    const std::vector<double> volts =
        repeated({{0, 10}, {4.6, 1}, {5.4, 1}, {5.5, 1}, {4.6, 1}, {4.5, 1}, {5.4, 1}, {10, 10}});
    std::vector<bool> expected(10, false);
    expected.insert(expected.end(), {false, false, true, true, false, false});
    expected.insert(expected.end(), 10, true);
    EXPECT_EQ(thresholded(volts, std::nullopt), expected);
    // At a level of 1 V the band is as wide, around it.
    EXPECT_EQ(thresholded({0.6, 1.4, 1.5, 0.6, 0.5, 0, 10}, 1.0),
              (std::vector<bool>{false, false, true, true, false, false, true}));
    // A trace that starts inside the band starts on the threshold's side it lies on.
    for (const auto& [first, high] : {std::pair{5.0, true}, std::pair{4.9, false}}) {
        std::vector<bool> starting{high, high};
        starting.insert(starting.end(), 10, false);
        starting.insert(starting.end(), 10, true);
        EXPECT_EQ(thresholded(repeated({{first, 1}, {5.4, 1}, {0, 10}, {10, 10}}), std::nullopt),
                  starting)
            << first;
    }
}

}  // namespace
}  // namespace tracebay::decode
