#pragma once

#include <atomic>

#include "platform/QtHost.h"

namespace tracebay::testing {

// The host of a session on its own thread in a test: Qt's events and timers as in the program,
// but a pause of the protocol takes no time, so that an upload is over in a moment. The reply
// tick stays real: only an instrument that does not answer waits.
class QuickHost : public platform::QtHost {
public:
    void sleepMs(int ms) override { slept += ms; }

    std::atomic<int64_t> slept{0};
};

}  // namespace tracebay::testing
