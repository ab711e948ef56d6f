#pragma once

// What the live refresh benchmarks share: the desktop program's main window with the session on
// its thread as in the program, over the wires a benchmark chooses; the instrument's side
// counting the uploads it serves; a probe of the window's event loop.

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <vector>

#include "mainwindow/frmPrgress.h"
#include "mainwindow/frmWave.h"
#include "platform/QtHost.h"
#include "platform/SettingsStore.h"
#include "session/SessionThread.h"
#include "tests/support/SessionRig.h"

namespace tracebay::benchmark {

// The block that ends an upload of every source the benchmarks tick.
constexpr const char* LastBlock = ":WAVEFORM:DATA? DIGITAL";

// The pauses of one upload of `ticked` as the window asks for it, on the virtual clock: the
// least time an upload takes if every reply came the instant it was asked for.
inline double protocolMinimumMs(testing::Transport transport, const char* preset,
                                session::Sources ticked) {
    testing::SessionRig rig(transport, preset);
    rig.connect();
    rig.host.clearRecords();
    rig.session().refresh(ticked, mainwindow::frmPrgress::UploadDelayMs);
    const auto& sleeps = rig.host.sleeps();
    return std::accumulate(sleeps.begin(), sleeps.end(), 0.0);
}

inline void runFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// When the instrument was asked for the last block of an upload; noted on the instrument's
// thread, read on the window's.
class UploadTimes {
public:
    void note() {
        const std::lock_guard lock(mutex_);
        times_.push_back(std::chrono::steady_clock::now());
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        times_.clear();
    }
    size_t count() const {
        const std::lock_guard lock(mutex_);
        return times_.size();
    }
    // Uploads per second from the first to the last one seen.
    double rate() const {
        const std::lock_guard lock(mutex_);
        if (times_.size() < 2) return 0;
        const std::chrono::duration<double> span = times_.back() - times_.front();
        return static_cast<double>(times_.size() - 1) / span.count();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::steady_clock::time_point> times_;
};

// The longest stall of the window's event loop, seen by a 5 ms probe timer.
class StallProbe {
public:
    StallProbe() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (since_.isValid())
                longestMs_ = std::max(longestMs_, since_.nsecsElapsed() / 1e6 - 5);
            since_.start();
        });
        timer_.start(5);
    }
    double longestMs() const { return longestMs_; }

private:
    QTimer timer_;
    QElapsedTimer since_;
    double longestMs_ = 0;
};

// The main window shown with `settings` (key: value, in the settings file's groups) in a
// settings file of its own, the session on its thread over `wires`.
class LiveWindow {
public:
    LiveWindow(std::function<session::Wires()> wires, const std::map<QString, QString>& settings)
        : qsettings_(folder_.filePath("TraceBay.conf"), QSettings::IniFormat),
          settings_(withValues(qsettings_, settings)),
          wires_(std::move(wires)),
          window_({host_, settings_, [this](session::SessionObserver& observer) {
                       return std::make_unique<session::SessionThread>(wires_, host_, observer);
                   }}) {
        window_.show();
        runFor(50);
    }
    ~LiveWindow() { window_.close(); }

    mainwindow::frmWave& window() { return window_; }

    // Connect pressed; false when no connection came within two seconds.
    bool connect() {
        window_.findChild<QPushButton*>("FlatBtnUpload_0")->click();
        for (int i = 0; i < 200 && !connected(); ++i) runFor(10);
        return connected();
    }
    void refreshContinuously() { refreshAction().trigger(); }
    // Refresh continuously off, and the upload in hand finished.
    void stopRefreshing() {
        refreshAction().setChecked(false);
        while (window_.session().state() == session::State::Uploading) runFor(10);
    }

private:
    static QSettings& withValues(QSettings& qsettings, const std::map<QString, QString>& values) {
        for (const auto& [key, value] : values) qsettings.setValue(key, value);
        return qsettings;
    }
    bool connected() { return window_.session().state() == session::State::Connected; }
    QAction& refreshAction() { return *window_.findChild<QAction*>("RefreshContinuously"); }

    QTemporaryDir folder_;
    QSettings qsettings_;
    platform::SettingsStore settings_;
    platform::QtHost host_;
    std::function<session::Wires()> wires_;
    mainwindow::frmWave window_;
};

}  // namespace tracebay::benchmark
