#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tracebay::mainwindow {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the window thread, so that a program ended by
// the session or from a terminal closes its window in order (settings saved, keys unlocked)
// instead of dying mid-way.
class CloseOnSignal : public QObject {
    Q_OBJECT
public:
    explicit CloseOnSignal(std::function<void()> close);
    ~CloseOnSignal() override;

private:
    void onSignal();

    std::function<void()> close_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tracebay::mainwindow
