#pragma once

#include <functional>

namespace tracebay::session {

// Runs work on the thread it stands for: the session's operations on the session's thread, its
// notifications on the views' thread.
class Executor {
public:
    virtual ~Executor() = default;
    virtual void post(std::function<void()> work) = 0;
};

// Everything on the calling thread, at once: for the command line and for tests, which run the
// session and its views on one thread.
class InlineExecutor : public Executor {
public:
    void post(std::function<void()> work) override { work(); }
};

}  // namespace tracebay::session
