#include "acquisition/SystemBlock.h"

#include <cstring>

namespace tracebay::acquisition {

float SystemBlock::single(size_t at) const {
    const uint32_t bits = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                          (static_cast<uint32_t>(bytes[at + 3]) << 24);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int FftSpan(int spanCode) {
    static constexpr int spans[] = {5000, 2500, 1000, 500, 250, 100, 25};
    return spanCode >= 1 && spanCode <= 7 ? spans[spanCode - 1] : 500;
}

}  // namespace tracebay::acquisition
