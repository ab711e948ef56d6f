#include "mainwindow/CloseOnSignal.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>

namespace tracebay::mainwindow {
namespace {

TEST(CloseOnSignal, EndingSignalsCloseTheWindowOnItsOwnThreadInsteadOfEndingTheProgram) {
    int closes = 0;
    {
        CloseOnSignal watch([&] { ++closes; });
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            const int before = closes;
            ASSERT_EQ(std::raise(signal), 0);
            for (int round = 0; round < 1000 && closes == before; ++round)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            EXPECT_EQ(closes, before + 1) << signal;
        }
    }
    EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL) << "the handler goes with the watch";
}

}  // namespace
}  // namespace tracebay::mainwindow
