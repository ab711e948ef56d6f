#include "platform/HostServices.h"

namespace tracebay::platform {

void HostServices::whenNoModal(std::function<void()> then) {
    if (modalOpen())
        afterModals_.push_back(std::move(then));
    else
        postToEventLoop(std::move(then));
}

// Whoever waited for the last box runs once the box's own caller has carried on.
HostServices::ModalScope::~ModalScope() {
    if (--host_.modalDepth_ > 0) return;
    std::vector<std::function<void()>> waiting;
    waiting.swap(host_.afterModals_);
    for (auto& then : waiting) host_.postToEventLoop(std::move(then));
}

}  // namespace tracebay::platform
