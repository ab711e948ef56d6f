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

}  // namespace tracebay::acquisition
