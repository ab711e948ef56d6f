#pragma once

#include <functional>
#include <memory>

#include "platform/HostServices.h"
#include "session/Executor.h"
#include "session/Session.h"

namespace tracebay::session {

// Whatever keeps a session running: a thread of its own in the desktop program, nothing more
// than the session itself on one thread.
class SessionOwner {
public:
    virtual ~SessionOwner() = default;
    virtual Session& session() = 0;
};

// Makes the session a view observes.
using SessionMaker = std::function<std::unique_ptr<SessionOwner>(SessionObserver& observer)>;

// A session run on the calling thread, on the link given: the command line's, and the tests'.
class InlineSession : public SessionOwner {
public:
    InlineSession(Session::Link link, SessionObserver& observer)
        : session_(link, worker_, views_, observer) {}
    Session& session() override { return session_; }

private:
    InlineExecutor worker_;
    InlineExecutor views_;
    Session session_;
};

}  // namespace tracebay::session
