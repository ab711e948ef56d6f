#include "decode/Annotation.h"

namespace tracebay::decode {

const std::string& Annotation::text() const {
    static const std::string none;
    return texts.empty() ? none : texts.front();
}

}  // namespace tracebay::decode
