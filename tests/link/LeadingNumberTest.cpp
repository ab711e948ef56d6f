#include "link/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tracebay::link {
namespace {

struct NumberRow {
    const char* text;
    double value;
};

std::ostream& operator<<(std::ostream& out, const NumberRow& row) {
    return out << '"' << row.text << '"';
}

class LeadingNumberRows : public ::testing::TestWithParam<NumberRow> {};

TEST_P(LeadingNumberRows, ReadTheNumberATextBeginsWith) {
    EXPECT_DOUBLE_EQ(leadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberRows,
    ::testing::Values(NumberRow{"5.000e-01", 0.5}, NumberRow{"  -2.5V", -2.5}, NumberRow{"+7", 7},
                      NumberRow{".25", 0.25}, NumberRow{"3.", 3}, NumberRow{"1e3x", 1000},
                      NumberRow{"1e", 1}, NumberRow{"1e+", 1}, NumberRow{"2E-3s", 0.002},
                      NumberRow{"", 0}, NumberRow{"abc", 0}, NumberRow{"-", 0}, NumberRow{".", 0},
                      NumberRow{"-.5e1", -5}, NumberRow{"9600,n,8,1", 9600}, NumberRow{"1,5", 1},
                      NumberRow{"1e-400", 0}));

TEST(LeadingNumber, HugeValuesSaturate) {
    EXPECT_TRUE(std::isinf(leadingNumber("1e400")));
    EXPECT_LT(leadingNumber("-1e400"), 0);
}

}  // namespace
}  // namespace tracebay::link
