#include "platform/VirtualHost.h"

#include <QDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

#include "platform/QtHost.h"

namespace tracebay::platform {
namespace {

TEST(VirtualHost, TicksEveryHundredMillisecondsOfPumping) {
    VirtualHost host(10);
    int ticks = 0;
    host.setReplyTickHandler([&] { ++ticks; });
    for (int i = 0; i < 100; ++i) host.processEvents();
    EXPECT_EQ(host.nowMs(), 1000);
    EXPECT_EQ(ticks, 10);
}

TEST(VirtualHost, TicksDueDuringASleepFireOnceAtTheNextPump) {
    VirtualHost host(1);
    int ticks = 0;
    host.setReplyTickHandler([&] { ++ticks; });
    host.sleepMs(450);
    EXPECT_EQ(ticks, 0);
    host.processEvents();
    EXPECT_EQ(ticks, 1);
    for (int i = 0; i < 48; ++i) host.processEvents();  // up to 499 ms
    EXPECT_EQ(ticks, 1);
    host.processEvents();
    EXPECT_EQ(ticks, 2);
}

TEST(VirtualHost, RunsScheduledActionsInTimeOrder) {
    VirtualHost host(5);
    std::string order;
    host.at(12, [&] { order += 'b'; });
    host.at(3, [&] { order += 'a'; });
    host.after(30, [&] { order += 'c'; });
    host.processEvents();
    EXPECT_EQ(order, "a");
    host.processEvents();
    host.processEvents();
    EXPECT_EQ(order, "ab");
    for (int i = 0; i < 5; ++i) host.processEvents();
    EXPECT_EQ(order, "abc");
}

TEST(VirtualHost, RecordsMessagesAndSleepsWithoutBlocking) {
    VirtualHost host;
    std::string seen;
    host.onMessage([&](const VirtualHost::Message& m) { seen = m.caption; });
    host.showMessage("text", "Caption", MessageIcon::Question);
    host.sleepMs(41);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "text");
    EXPECT_EQ(host.messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(seen, "Caption");
    EXPECT_EQ(host.sleeps(), std::vector<int>{41});
    EXPECT_EQ(host.nowMs(), 41);
}

TEST(VirtualHostTimer, TicksEveryIntervalWhileEnabled) {
    VirtualHost host(1);
    auto timer = host.createTimer();
    std::vector<int64_t> ticks;
    timer->setHandler([&] { ticks.push_back(host.nowMs()); });
    timer->setInterval(100);
    host.advance(50);
    EXPECT_TRUE(ticks.empty()) << "a new timer is disabled";
    timer->setEnabled(true);
    host.advance(250);
    EXPECT_EQ(ticks, (std::vector<int64_t>{150, 250}));
    timer->setEnabled(false);
    host.advance(500);
    EXPECT_EQ(ticks.size(), 2u);
}

TEST(VirtualHostTimer, ATickDueDuringASleepRunsOnceAndTheNextFollowsAnIntervalLater) {
    VirtualHost host(1);
    auto timer = host.createTimer();
    std::vector<int64_t> ticks;
    timer->setHandler([&] { ticks.push_back(host.nowMs()); });
    timer->setInterval(100);
    timer->setEnabled(true);
    host.sleepMs(350);
    host.advance(101);
    EXPECT_EQ(ticks, (std::vector<int64_t>{351, 451}));
}

TEST(VirtualHostTimer, AHandlerThatPumpsIsNotReenteredByItsOwnTimer) {
    VirtualHost host(1);
    auto busy = host.createTimer();
    auto other = host.createTimer();
    int busyRuns = 0, otherRuns = 0, depth = 0, deepest = 0;
    busy->setHandler([&] {
        ++busyRuns;
        deepest = std::max(deepest, ++depth);
        host.advance(1000);
        --depth;
    });
    other->setHandler([&] { ++otherRuns; });
    busy->setInterval(10);
    other->setInterval(100);
    busy->setEnabled(true);
    other->setEnabled(true);
    host.advance(20);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(otherRuns, 10) << "other timers run inside the handler's wait";
    EXPECT_GE(busyRuns, 1);
}

TEST(VirtualHostTimer, AHandlerMayDestroyAnotherTimer) {
    VirtualHost host(1);
    auto first = host.createTimer();
    auto second = host.createTimer();
    int secondRuns = 0;
    first->setHandler([&] { second.reset(); });
    second->setHandler([&] { ++secondRuns; });
    for (auto* t : {first.get(), second.get()}) {
        t->setInterval(10);
        t->setEnabled(true);
    }
    host.advance(50);
    EXPECT_EQ(secondRuns, 0);
    EXPECT_EQ(second, nullptr);
}

TEST(VirtualHostModal, RunsUntilTheDialogIsClosedAndReturnsItsResult) {
    VirtualHost host(1);
    QDialog dialog;
    host.after(300, [&] { dialog.accept(); });
    EXPECT_EQ(host.runModal(dialog), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_GE(host.nowMs(), 300);
}

TEST(VirtualHostModal, ADialogNobodyClosesIsRejectedAfterTheLimit) {
    VirtualHost host(1000);
    QDialog dialog;
    EXPECT_EQ(host.runModal(dialog), QDialog::Rejected);
    EXPECT_GE(host.nowMs(), VirtualHost::ModalLimitMs);
}

// Texts from the instrument or from file names are shown as they stand: markup in them is no
// link and no heading. A line break, the program's ("\r") after the instrument's, is one.
TEST(QtHostMessage, ShowsItsTextAsPlainLines) {
    const std::string text =
        "Firmware 00.09.00 <a href=\"x\">Download</a>\n\rCannot open <h1>r.json";
    const auto box = messageBox(text, "TraceBay", MessageIcon::Exclamation);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), "Firmware 00.09.00 <a href=\"x\">Download</a>\nCannot open <h1>r.json");
    EXPECT_EQ(box->windowTitle(), "TraceBay");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(messageBox("?", "", MessageIcon::Question)->icon(), QMessageBox::Question);
}

}  // namespace
}  // namespace tracebay::platform
