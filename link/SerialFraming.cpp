#include "link/SerialFraming.h"

#include <algorithm>

namespace tracebay::link {

Assembly LineAssembler::feed(std::string_view chunk) {
    if (state_ != Assembly::Incomplete) return state_;
    bytes_ += chunk.size();
    const auto lineFeed = chunk.find('\n');
    const std::string_view line = chunk.substr(0, lineFeed);
    if (text_.size() + line.size() > SerialReplyLimit - (lineFeed != std::string_view::npos)) {
        // No line feed within the limit: the line can never be whole.
        state_ = Assembly::Refused;
        text_.clear();
        return state_;
    }
    text_.append(line);
    if (lineFeed != std::string_view::npos) state_ = Assembly::Complete;
    return state_;
}

Assembly BlockAssembler::feed(std::string_view chunk) {
    if (state_ != Assembly::Incomplete) return state_;
    while (prefixCount_ < 4 && !chunk.empty()) {
        prefix_[prefixCount_++] = static_cast<uint8_t>(chunk.front());
        chunk.remove_prefix(1);
        if (prefixCount_ == 4)
            announced_ = prefix_[0] | prefix_[1] << 8 | prefix_[2] << 16 |
                         static_cast<uint64_t>(prefix_[3]) << 24;
    }
    if (prefixCount_ < 4) return state_;
    if (announced_ > SerialReplyLimit) {
        state_ = Assembly::Refused;
        return state_;
    }
    received_ += chunk.size();
    if (announced_ <= capacity_) {
        const size_t room = capacity_ - std::min(payload_.size(), capacity_);
        const size_t stored = std::min(room, chunk.size());
        payload_.insert(payload_.end(), chunk.begin(), chunk.begin() + stored);
    }
    state_ = received_ == announced_ ? Assembly::Complete : Assembly::Incomplete;
    return state_;
}

Reply<Bytes> BlockAssembler::result() const {
    if (state_ == Assembly::Refused)
        return {{}, LinkError{LinkFailure::TooLong, {}, {}, announced_, SerialReplyLimit}};
    if (announced_ > capacity_)
        return {{}, LinkError{LinkFailure::TooLong, {}, {}, announced_, capacity_}};
    return {payload_, std::nullopt};
}

}  // namespace tracebay::link
