#include "acquisition/KeyNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "sim/FrontPanel.h"

namespace tracebay::acquisition {
namespace {

TEST(KeyNames, EveryNameIsAKeyOfTheInstrument) {
    sim::InstrumentState state = sim::defaultState();
    const std::set<std::string_view> distinct(KeyNames.begin(), KeyNames.end());
    EXPECT_EQ(distinct.size(), KeyNames.size());
    for (const auto name : KeyNames) {
        EXPECT_TRUE(sim::pressKey(state, sim::Identity{}, name)) << name;
        EXPECT_EQ(keyNamed(name), name);
    }
}

struct Written {
    std::string text;
    std::optional<std::string_view> key;
};

class KeyNameAsWritten : public ::testing::TestWithParam<Written> {};

TEST_P(KeyNameAsWritten, NamesItsKeyOrNone) {
    EXPECT_EQ(keyNamed(GetParam().text), GetParam().key) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeyNameAsWritten,
    ::testing::Values(Written{"RUN", ":RUN"}, Written{":AUTO", ":AUTO"},
                      Written{"trig%50", ":TRIG%50"}, Written{"-Function", ":-FUNCTION"},
                      Written{"NOSUCHKEY", std::nullopt}, Written{"", std::nullopt},
                      Written{":", std::nullopt}, Written{"::RUN", std::nullopt},
                      Written{"RUN ", std::nullopt}, Written{"LOCK:ENABLE", std::nullopt},
                      Written{"F", std::nullopt}, Written{"F12", std::nullopt}));

}  // namespace
}  // namespace tracebay::acquisition
