// The serial reply framing: whatever the instrument's line delivers, in chunks of any size, fed
// to the assembler of a text reply or of a block. A reply that completes is exactly what was
// sent: a text reply the bytes before the first line feed, a block exactly the payload its
// prefix announced; a reply that can complete does, and nothing is ever stored past a limit.
//
// Input: one byte, even for a text reply and odd for a block, then records to the end:
//   kind % 4 = 0 or 1: pause (1 byte), length (2 bytes), that many bytes
//   kind % 4 = 2:      pause, count (2 bytes, doubled), one byte sent count times
//   kind % 4 = 3:      a port event (2 bytes), which brings no bytes
// Pauses and events belong to the port's waits, not to the framing: they are read and skipped.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/Acquisition.h"
#include "fuzz/FuzzInput.h"
#include "link/SerialFraming.h"

using namespace tracebay;
using link::Assembly;

namespace {

constexpr size_t BlockCapacity = acquisition::Acquisition::BlockCapacity;

// The chunks the line brings; chunks without bytes would be no receive event at all.
std::vector<std::string> chunksFrom(fuzz::FuzzInput& input) {
    std::vector<std::string> chunks;
    while (!input.empty()) {
        const int kind = input.byte() % 4;
        if (kind == 3) {
            input.word();
            continue;
        }
        input.byte();
        std::string bytes;
        if (kind == 2) {
            const size_t count = size_t{input.word()} * 2;
            bytes.assign(count, static_cast<char>(input.byte()));
        } else {
            bytes = input.bytes(input.word());
        }
        if (!bytes.empty()) chunks.push_back(std::move(bytes));
    }
    return chunks;
}

void checkLine(const std::vector<std::string>& chunks) {
    link::LineAssembler line;
    std::string sent;
    for (const auto& chunk : chunks) {
        line.feed(chunk);
        sent += chunk;
    }
    const auto lineFeed = sent.find('\n');
    const bool fits = lineFeed != std::string::npos && lineFeed < link::SerialReplyLimit;
    fuzz::require((line.state() == Assembly::Complete) == fits, "a whole line is taken");
    if (fits) fuzz::require(line.text() == sent.substr(0, lineFeed), "a line is its first bytes");
    fuzz::require(line.text().size() <= link::SerialReplyLimit, "a line stays within the limit");
}

uint32_t announced(const std::string& bytes) {
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<uint8_t>(bytes[i]);
    return length;
}

void checkBlock(const std::vector<std::string>& chunks) {
    link::BlockAssembler block(BlockCapacity);
    std::string sent;
    std::vector<size_t> ends;
    for (const auto& chunk : chunks) {
        block.feed(chunk);
        sent += chunk;
        ends.push_back(sent.size());
    }
    const std::optional<uint32_t> length =
        sent.size() >= 4 ? std::optional(announced(sent)) : std::nullopt;
    const bool canComplete = length && *length <= link::SerialReplyLimit &&
                             std::find(ends.begin(), ends.end(), size_t{*length} + 4) != ends.end();
    fuzz::require((block.state() == Assembly::Complete) == canComplete,
                  "a whole block is taken, and only a whole block");
    if (!canComplete) return;
    const auto result = block.result();
    if (*length > BlockCapacity) {
        fuzz::require(!result.ok() && result.value.empty(), "a block too large is refused");
        return;
    }
    fuzz::require(
        result.ok() && result.value.size() == *length &&
            std::equal(result.value.begin(), result.value.end(), sent.begin() + 4,
                       [](uint8_t kept, char byte) { return kept == static_cast<uint8_t>(byte); }),
        "a finished block holds exactly the bytes sent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const bool block = input.byte() % 2 == 1;
    const auto chunks = chunksFrom(input);
    if (block)
        checkBlock(chunks);
    else
        checkLine(chunks);
    return 0;
}
