#include "modbus/message_spool.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Posts "n" or "p<n>" (priority) messages numbered by their order of posting, and reads the
// queue back as the same kind of text.
std::string Queue(const std::vector<std::string>& posts) {
    TMessageSpool spool;
    std::uint32_t id = 1;
    for (const std::string& post : posts)
        spool.PostMessage(id++, 0, nullptr, post == "p");
    std::string order;
    TSpoolMessage message;
    while (spool.TakeMessage(message))
        order += (message.Priority ? "p" : "n") + std::to_string(message.MsgId) + " ";
    return order;
}

TEST(MessageSpool, PriorityMessagesGoBeforeTheFirstOrdinaryOne) {
    EXPECT_EQ("n1 n2 n3 ", Queue({"n", "n", "n"}));
    EXPECT_EQ("p1 p2 ", Queue({"p", "p"})); // no ordinary message: at the end
    EXPECT_EQ("p3 n1 n2 ", Queue({"n", "n", "p"}));
    EXPECT_EQ("p2 p4 n1 n3 ", Queue({"n", "p", "n", "p"})); // after earlier priority ones
    EXPECT_EQ("p1 p3 n2 n4 ", Queue({"p", "n", "p", "n"}));
}

TEST(MessageSpool, TakesTheFirstMessageInTheRange) {
    TMessageSpool spool;
    auto payload = std::make_shared<std::string>("record");
    spool.PostMessage(4, 40, nullptr, false);
    spool.PostMessage(205, 2050, payload, false);
    spool.PostMessage(204, 2040, nullptr, false);
    spool.PostMessage(5, 50, nullptr, false);
    TSpoolMessage message;
    ASSERT_TRUE(spool.TakeMessage(message, 204, 205));
    EXPECT_EQ(205u, message.MsgId);
    EXPECT_EQ(2050, message.WParam);
    EXPECT_EQ("record", *std::static_pointer_cast<std::string>(message.LParam));
    ASSERT_TRUE(spool.TakeMessage(message, 204, 205));
    EXPECT_EQ(204u, message.MsgId);
    EXPECT_FALSE(spool.TakeMessage(message, 204, 205));
    ASSERT_TRUE(spool.TakeMessage(message, 5, 0)); // open upper bound
    EXPECT_EQ(5u, message.MsgId);
    ASSERT_TRUE(spool.TakeMessage(message, 0, 4)); // open lower bound
    EXPECT_EQ(4u, message.MsgId);
    EXPECT_EQ(0u, spool.Count());
}

TEST(MessageSpool, TakenPayloadsOutliveTheQueue) {
    TSpoolMessage message;
    {
        TMessageSpool spool;
        spool.PostMessage(1, 0, std::make_shared<std::vector<int>>(3, 7), false);
        spool.PostMessage(2, 0, std::make_shared<int>(1), false); // freed with the queue
        ASSERT_TRUE(spool.TakeMessage(message));
    }
    EXPECT_EQ(std::vector<int>(3, 7), *std::static_pointer_cast<std::vector<int>>(message.LParam));
}

TEST(MessageSpool, PostersOnManyThreadsLoseNothing) {
    TMessageSpool spool;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t)
        posters.emplace_back([&spool, t] {
            for (int i = 0; i < 500; ++i)
                spool.PostMessage(static_cast<std::uint32_t>(t + 1), i, nullptr, i % 3 == 0);
        });
    int taken = 0;
    std::vector<std::int64_t> last(5, -1);
    TSpoolMessage message;
    while (taken < 2000) {
        if (!spool.TakeMessage(message))
            continue;
        ++taken;
        // Within one poster and one priority class the order of posting holds.
        if (!message.Priority) {
            EXPECT_GT(message.WParam, last[message.MsgId]);
            last[message.MsgId] = message.WParam;
        }
    }
    for (auto& poster : posters)
        poster.join();
    EXPECT_EQ(0u, spool.Count());
}

} // namespace
