#include "platform/VirtualHost.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tracebay::platform
