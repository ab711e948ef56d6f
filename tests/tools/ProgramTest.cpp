#include <gtest/gtest.h>

#include "tests/tools/ProcessRunner.h"

namespace tracebay::testing {
namespace {

ProcessResult traceBay(const std::vector<std::string>& arguments) {
    return runProcess(TRACEBAY_PROGRAM, arguments, {{"QT_QPA_PLATFORM", "offscreen"}});
}

TEST(ProgramUsage, HelpNamesTheSimulatorAndItsPresets) {
    const auto result = traceBay({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* word : {"--simulate", "--help", "yt", "alternate", "fft-split", "logic"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

TEST(ProgramUsage, OtherArgumentsAreRefusedBeforeAnyWindowOpens) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bogus"}, {"--simulate", "no-such-preset"},
          {"--simulate", "yt", "extra"}}) {
        const auto result = traceBay(arguments);
        EXPECT_EQ(result.status, 64) << arguments[0];
        EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace tracebay::testing
