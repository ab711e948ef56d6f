#include "link/SerialFraming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tracebay::link {
namespace {

std::string block(uint32_t announced, const std::string& payload) {
    return std::string{
               static_cast<char>(announced & 0xFF), static_cast<char>(announced >> 8 & 0xFF),
               static_cast<char>(announced >> 16 & 0xFF), static_cast<char>(announced >> 24)} +
           payload;
}

std::string payloadOf(size_t n) {
    std::string bytes;
    for (size_t i = 0; i < n; ++i) bytes += static_cast<char>(i * 7 + 3);
    return bytes;
}

struct LineRow {
    const char* name;
    std::vector<std::string> chunks;
    Assembly state;
    std::string text;
};

class Lines : public ::testing::TestWithParam<LineRow> {};

TEST_P(Lines, EndAtTheFirstLineFeedWithinTheLimit) {
    LineAssembler line;
    for (const auto& chunk : GetParam().chunks) line.feed(chunk);
    EXPECT_EQ(line.state(), GetParam().state);
    EXPECT_EQ(line.text(), GetParam().text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Chunks, Lines, ::testing::Values(
    LineRow{"SplitOverEvents", {"1.0", "0E-01\n"}, Assembly::Complete, "1.00E-01"},
    LineRow{"BytesAfterTheLineFeedDropped", {"OK\nXY", "more\n"}, Assembly::Complete, "OK"},
    LineRow{"NoLineFeedYet", {"12", "34"}, Assembly::Incomplete, "1234"},
    LineRow{"LongerThanTheLimitRefused", {std::string(40000, 'A'), std::string(40000, 'B') + "\n"},
            Assembly::Refused, ""},
    LineRow{"LineFeedInsideAnOverlongChunk", {"ON\n" + std::string(70000, 'x')},
            Assembly::Complete, "ON"},
    LineRow{"ExactlyTheLimit", {std::string(SerialReplyLimit - 1, 'A') + "\n"},
            Assembly::Complete, std::string(SerialReplyLimit - 1, 'A')}),
    [](const auto& row) { return row.param.name; });
// clang-format on

struct BlockRow {
    const char* name;
    size_t capacity;
    std::vector<std::string> chunks;
    Assembly state;
    std::string payload;  // of a complete block within the capacity
    std::string refusal;  // why it is refused, or ""
};

class Blocks : public ::testing::TestWithParam<BlockRow> {};

TEST_P(Blocks, CompleteOnExactlyTheAnnouncedLength) {
    const BlockRow& row = GetParam();
    BlockAssembler assembler(row.capacity);
    for (const auto& chunk : row.chunks) assembler.feed(chunk);
    EXPECT_EQ(assembler.state(), row.state);
    if (row.state == Assembly::Incomplete) return;
    const auto result = assembler.result();
    EXPECT_EQ(result.error ? result.error->shortfall() : "", row.refusal);
    EXPECT_EQ(std::string(result.value.begin(), result.value.end()), row.payload);
}

const std::string Whole600 = block(600, payloadOf(600));

// clang-format off
INSTANTIATE_TEST_SUITE_P(Chunks, Blocks, ::testing::Values(
    BlockRow{"InThreeChunks", 6200, {Whole600.substr(0, 300), Whole600.substr(300, 303),
             Whole600.substr(603)}, Assembly::Complete, payloadOf(600), ""},
    BlockRow{"OneByteShort", 6200, {Whole600.substr(0, 603)}, Assembly::Incomplete, "", ""},
    BlockRow{"PrefixSplitAcrossChunks", 6200, {Whole600.substr(0, 1), Whole600.substr(1, 2),
             Whole600.substr(3)}, Assembly::Complete, payloadOf(600), ""},
    BlockRow{"PrefixIsLittleEndian", 70000, {block(0x010001, payloadOf(0x010001))},
             Assembly::Complete, payloadOf(0x010001), ""},
    BlockRow{"MoreThanAnnouncedNeverCompletes", 6200, {block(10, payloadOf(10)) + "extra"},
             Assembly::Incomplete, "", ""},
    BlockRow{"LargerThanTheReaderReadToItsEnd", 6200, {block(7000, std::string(7000, 'x'))},
             Assembly::Complete, "", "7000 bytes, more than 6200"},
    BlockRow{"AnnouncingMoreThanTheLimitRefusedAtOnce", 6200,
             {std::string("\x00\x00\x10\x00" "abc", 7)}, Assembly::Refused, "",
             "1048576 bytes, more than 65537"},
    BlockRow{"Empty", 6200, {block(0, "")}, Assembly::Complete, "", ""}),
    [](const auto& row) { return row.param.name; });
// clang-format on

}  // namespace
}  // namespace tracebay::link
