#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include <gtest/gtest.h>
#include <thread>

namespace
{
constexpr int timeKey = 1;

/** A client that has stopped reading: binary fillers go out until the connection holds one
    it cannot write, so whatever follows waits in the server's queue. */
bool blockClient (SimpleWebSocketServer& server, const juce::String& id)
{
    const std::string filler (1 << 20, 'f');
    for (int i = 0; i < 64; ++i)
    {
        server.broadcastBinary (filler.data(), (int) filler.size());
        // A filler the network takes leaves the waiting frames at once; one still waiting
        // after a second means the client's side is full.
        if (! test::pumpUntil ([&] { return server.getWaitingKeys (id).empty(); }, 1000))
            return true;
    }
    return false;
}

/** A server on a free port with one raw client, upgraded and connected. */
struct OneClient : ::testing::Test
{
    test::EventLog log;
    SimpleWebSocketServer server;
    test::RawClient client;
    juce::String id;

    void SetUp() override
    {
        const auto port = test::startOnFreePort (server, log);
        ASSERT_NE (port, 0);
        ASSERT_TRUE (client.connect (port));
        ASSERT_TRUE (client.upgrade ("/"));
        ASSERT_TRUE (test::pumpUntil ([&] { return log.getConnected().size() == 1; }));
        id = log.getConnected()[0];
    }
};
using ReplaceableFrames = OneClient;
using GatheredWrites = OneClient;

TEST_F (ReplaceableFrames, AClientThatPausesFindsOnlyTheNewestTimeInPlaceAndEveryOtherMessage)
{
    ASSERT_TRUE (blockClient (server, id));
    const auto waitingBefore = server.getWaitingKeys (id).size(); // the filler that cannot go yet

    // Two seconds of a paused client: a "time" every 16 ms, a "cuelist" every tenth tick.
    // Messages for other ids and without a key take no part in the replacing.
    int lastTime = 0, cueLists = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; std::chrono::steady_clock::now() - start < std::chrono::seconds (2); ++tick)
    {
        if (tick % 10 == 0)
            server.broadcastTextExcept ("cuelist " + juce::String (++cueLists), {});
        server.broadcastReplaceableText ("time " + juce::String (++lastTime), timeKey, {});
        server.sendReplaceableTextTo ("time for someone else", timeKey, "192.0.2.1:1");
        std::this_thread::sleep_until (start + std::chrono::milliseconds (16 * (tick + 1)));
    }
    ASSERT_GT (lastTime, 10);

    // One time frame waits, in the place of the first, after "cuelist 1".
    std::vector<int> expectedKeys (waitingBefore, WebSocketConnection::noReplaceKey);
    expectedKeys.push_back (WebSocketConnection::noReplaceKey);
    expectedKeys.push_back (timeKey);
    expectedKeys.insert (expectedKeys.end(), (size_t) cueLists - 1, WebSocketConnection::noReplaceKey);
    EXPECT_EQ (server.getWaitingKeys (id), expectedKeys);

    juce::StringArray expected;
    expected.add ("cuelist 1");
    expected.add ("time " + juce::String (lastTime));
    for (int i = 2; i <= cueLists; ++i)
        expected.add ("cuelist " + juce::String (i));

    juce::StringArray texts;
    while (texts.size() < expected.size())
    {
        const auto frame = client.readFrame (10000);
        ASSERT_TRUE (frame.has_value()) << texts.joinIntoString (" | ");
        if (frame->firstByte == 0x81)
            texts.add (juce::String::fromUTF8 (frame->payload.data(), (int) frame->payload.size()));
        else
            EXPECT_EQ (frame->firstByte, 0x82);
    }
    EXPECT_EQ (texts, expected);

    // Once it reads again, a time that has gone out is not replaced by the next.
    for (const auto* text : { "time after", "time after that" })
    {
        server.broadcastReplaceableText (text, timeKey, {});
        const auto frame = client.readFrame();
        ASSERT_TRUE (frame.has_value());
        EXPECT_EQ (frame->payload, text);
    }
}

TEST_F (GatheredWrites, APongToAPingWaitsUntilTheFrameBeingWrittenIsWhole)
{
    // The server is in the middle of a filler when the ping comes, so its pong has to wait.
    // (The server reads on only once the pong is out, so the message after the ping arrives
    // once the client reads again.)
    ASSERT_TRUE (blockClient (server, id));
    ASSERT_TRUE (client.sendFrame (0x9, "are you there"));
    ASSERT_TRUE (client.sendFrame (0x1, "read the ping"));

    // Every frame arrives whole: the fillers intact, the pong between them.
    const auto readUntil = [this] (int firstByte, const std::string& payload)
    {
        for (;;)
        {
            const auto frame = client.readFrame (10000);
            if (! frame.has_value())
                return false;
            if (frame->firstByte == firstByte)
                return frame->payload == payload;
            if (frame->firstByte != 0x82 || frame->payload != std::string (1 << 20, 'f'))
                return false;
        }
    };
    ASSERT_TRUE (readUntil (0x8a, "are you there"));
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getTexts() == juce::StringArray { "read the ping" }; }));
    server.broadcastTextExcept ("after the ping", {});
    EXPECT_TRUE (readUntil (0x81, "after the ping"));
}
}
