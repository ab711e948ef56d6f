#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/LinkError.h"
#include "link/Transport.h"

namespace tracebay::link {

// The serial replies assembled from the chunks the port delivers, as pure functions of the
// bytes: a text line ended by a line feed, or a block behind a 4-byte little-endian length.
enum class Assembly { Incomplete, Complete, Refused };

// The most a serial reply may hold: a longer line, or a block announcing more, is refused at
// once and never stored.
inline constexpr size_t SerialReplyLimit = 65537;

// A text reply: complete at its first line feed, which ends the text; what follows is dropped.
class LineAssembler {
public:
    Assembly feed(std::string_view chunk);
    Assembly state() const { return state_; }
    // The line without its line feed, once complete.
    const std::string& text() const { return text_; }
    // The bytes fed so far.
    uint64_t bytes() const { return bytes_; }

private:
    std::string text_;
    uint64_t bytes_ = 0;
    Assembly state_ = Assembly::Incomplete;
};

// A binary block: complete when a chunk ends exactly where the announced payload ends (a block
// that brings more in that chunk never completes); what comes after a complete block is not
// part of it. The prefix may come split over several chunks. A payload
// larger than `capacity` is read to its end, so that the next reply starts clean, and refused
// then; one announcing more than SerialReplyLimit is refused at once.
class BlockAssembler {
public:
    explicit BlockAssembler(size_t capacity) : capacity_(capacity) {}

    Assembly feed(std::string_view chunk);
    Assembly state() const { return state_; }
    // The payload of a complete block, or why the block was refused.
    Reply<Bytes> result() const;
    // The bytes fed so far, the prefix's among them.
    uint64_t bytes() const { return prefixCount_ + received_; }

private:
    size_t capacity_;
    uint8_t prefix_[4] = {};
    size_t prefixCount_ = 0;
    uint64_t announced_ = 0;
    uint64_t received_ = 0;  // payload bytes, stored or not
    Bytes payload_;
    Assembly state_ = Assembly::Incomplete;
};

}  // namespace tracebay::link
