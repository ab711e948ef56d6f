#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tracebay::fuzz {

// A fuzzer's input read from the front. Once it is used up, numbers read as 0 and byte strings
// come back empty, so every format ends cleanly wherever the input stops.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return at_ == size_; }
    uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    // Two bytes, least significant first.
    uint16_t word() {
        const uint8_t low = byte();
        return static_cast<uint16_t>(low | (byte() << 8));
    }
    // Up to `count` bytes: fewer when the input ends first.
    std::string bytes(size_t count) {
        const size_t n = std::min(count, size_ - at_);
        std::string taken(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return taken;
    }
    std::string rest() { return bytes(size_ - at_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// What the code under test promises did not hold: the input is kept as a finding.
inline void require(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

}  // namespace tracebay::fuzz
