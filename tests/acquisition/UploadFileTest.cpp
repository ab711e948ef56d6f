#include "acquisition/UploadFile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tracebay::acquisition {
namespace {

TEST(UploadFile, SavedUploadReadsBack) {
    const std::string path = ::testing::TempDir() + "upload-file-test.json";
    ScopeState s;
    s.HasData = true;
    s.Ch1Samples.assign(ScopeState::SampleCount, 7);
    std::string error;
    ASSERT_TRUE(writeUploadFile(path, s, error)) << error;
    const auto back = readUploadFile(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(back->HasData);
    EXPECT_EQ(back->Ch1Samples, s.Ch1Samples);
}

TEST(UploadFile, FileThatIsNoUploadIsRefusedWithTheReason) {
    const std::string path = ::testing::TempDir() + "upload-file-test-typed.json";
    std::ofstream(path) << R"({"HasData": "yes"})";
    std::string error;
    EXPECT_FALSE(readUploadFile(path, error));
    EXPECT_EQ(error, "HasData is not true or false");
    EXPECT_FALSE(readUploadFile("/dev/zero", error));
    EXPECT_EQ(error, "not a regular file");
}

}  // namespace
}  // namespace tracebay::acquisition
