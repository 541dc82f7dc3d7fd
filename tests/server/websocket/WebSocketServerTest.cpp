#include "support/ServerTestSupport.h"
#include "support/MessageLoop.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace
{
const juce::File scriptFolder = juce::File (VANTREL_SOURCE_DIR).getChildFile ("tests/server/websocket");

/** A client or helper written for node, with the npm "ws" package of the checkout. */
std::unique_ptr<juce::ChildProcess> startNode (const juce::String& script, const juce::StringArray& arguments)
{
    auto process = std::make_unique<juce::ChildProcess>();
    juce::StringArray command { "node", scriptFolder.getChildFile (script).getFullPathName() };
    command.addArray (arguments);
    if (! process->start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return nullptr;
    return process;
}

juce::StringArray finishNode (juce::ChildProcess& process)
{
    EXPECT_TRUE (process.waitForProcessToFinish (20000));
    return juce::StringArray::fromLines (process.readAllProcessOutput().trim());
}

std::string closePayload (int status, const std::string& reason)
{
    return std::string { (char) (status >> 8), (char) (status & 0xff) } + reason;
}

class WebSocketServer : public ::testing::Test
{
protected:
    void start (const juce::String& endpointPath = {})
    {
        port = test::startOnFreePort (server, log, endpointPath);
        ASSERT_NE (port, 0);
    }

    /** A raw client that has completed the handshake; its id is the one last connected. */
    std::unique_ptr<test::RawClient> connect (juce::String* id = nullptr)
    {
        auto client = std::make_unique<test::RawClient>();
        const auto before = log.getConnected().size();
        EXPECT_TRUE (client->connect (port));
        EXPECT_TRUE (client->upgrade ("/"));
        EXPECT_TRUE (test::pumpUntil ([&] { return log.getConnected().size() > before; }));
        if (id != nullptr)
            *id = log.getConnected()[log.getConnected().size() - 1];
        return client;
    }

    test::EventLog log; // outlives the server, whose thread reports to it
    SimpleWebSocketServer server;
    int port = 0;
};

TEST_F (WebSocketServer, AnswersTheSampleOpeningHandshake)
{
    start ("/chat");
    test::RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.send ("GET /chat HTTP/1.1\r\n"
                              "Host: server.example.com\r\n"
                              "Upgrade: websocket\r\n"
                              "Connection: Upgrade\r\n"
                              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                              "Origin: http://example.com\r\n"
                              "Sec-WebSocket-Protocol: chat, superchat\r\n"
                              "Sec-WebSocket-Version: 13\r\n\r\n"));
    const auto answer = client.readHttpResponse().value_or ("");
    EXPECT_EQ (answer.rfind ("HTTP/1.1 101 Switching Protocols\r\n", 0), 0u) << answer;
    EXPECT_NE (answer.find ("\r\nSec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n"), std::string::npos) << answer;

    ASSERT_TRUE (test::pumpUntil ([&] { return log.getConnected().size() == 1; }));
    const auto id = log.getConnected()[0];
    EXPECT_TRUE (id.startsWith ("127.0.0.1:")) << id;
    EXPECT_GT (id.fromFirstOccurrenceOf (":", false, false).getIntValue(), 0) << id;
    EXPECT_EQ (server.getNumClients(), 1);
}

TEST_F (WebSocketServer, UpgradesOnlyOnTheEndpointPath)
{
    struct Case { juce::String endpoint; std::vector<std::pair<juce::String, bool>> requests; };
    const Case cases[] = {
        { "", { { "/", true }, { "/?token=1", true }, { "/x", false }, { "//", false } } },
        { "/ws", { { "/ws", true }, { "/ws/", true }, { "/", false }, { "/wsx", false }, { "/ws/x", false } } },
    };

    for (const auto& c : cases)
    {
        server.stopServer();
        start (c.endpoint);
        for (const auto& [path, accepted] : c.requests)
        {
            test::RawClient client;
            ASSERT_TRUE (client.connect (port));
            if (accepted)
            {
                EXPECT_TRUE (client.upgrade (path)) << c.endpoint << " " << path;
            }
            else
            {
                // Dropped without a single byte of answer.
                client.upgrade (path);
                EXPECT_TRUE (client.waitForClose()) << c.endpoint << " " << path;
                EXPECT_TRUE (client.buffer().empty()) << c.endpoint << " " << path;
            }
        }
    }
}

TEST_F (WebSocketServer, FailsToStartOnAnInvalidEndpointPattern)
{
    server.addListener (&log);
    server.start (test::nextCandidatePort(), "/(", "127.0.0.1");
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getServerErrors().size() == 1; }));
    EXPECT_FALSE (server.isRunning());
    EXPECT_EQ (log.getStarts(), 0);
}

TEST_F (WebSocketServer, ExchangesMessages)
{
    start();
    juce::String firstId, secondId;
    auto first = connect (&firstId);
    auto second = connect (&secondId);
    ASSERT_NE (firstId, secondId);

    // From clients: text, binary, and a ping the server answers itself.
    ASSERT_TRUE (first->sendFrame (1, "héllo"));
    ASSERT_TRUE (first->sendFrame (2, std::string ("\0\1\2", 3)));
    ASSERT_TRUE (first->sendFrame (9, "ping"));
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getTexts().size() == 1 && log.getBinaries().size() == 1; }));
    EXPECT_EQ (log.getTexts()[0], juce::String::fromUTF8 ("héllo"));
    EXPECT_EQ (log.getBinaries()[0], juce::MemoryBlock ("\0\1\2", 3));
    const auto pong = first->readFrame();
    ASSERT_TRUE (pong.has_value());
    EXPECT_EQ (pong->firstByte, 0x8a);
    EXPECT_EQ (pong->payload, "ping");

    // To clients: each payload in one frame, with all three length forms.
    const std::string medium (200, 'm'), large (70000, 'l');
    server.broadcastText ("hi");
    server.broadcastText (medium);
    server.broadcastBinary (large.data(), (int) large.size());
    for (auto* client : { first.get(), second.get() })
    {
        const auto a = client->readFrame(), b = client->readFrame(), c = client->readFrame();
        ASSERT_TRUE (a && b && c);
        EXPECT_EQ (a->firstByte, 0x81);
        EXPECT_EQ (a->payload, "hi");
        EXPECT_EQ (b->firstByte, 0x81);
        EXPECT_EQ (b->payload, medium);
        EXPECT_EQ (c->firstByte, 0x82);
        EXPECT_EQ (c->payload, large);
    }

    // Addressed sends reach only their client; an unknown id reaches no one.
    server.sendTextTo ("to first", firstId);
    server.sendBinaryTo (juce::MemoryBlock ("b2", 2), secondId);
    server.sendTextTo ("to nobody", "127.0.0.1:1");
    server.broadcastTextExcept ("not first", juce::StringArray { firstId });
    server.broadcastBinaryExcept (juce::MemoryBlock ("nb", 2), juce::StringArray { secondId });
    server.broadcastText ("end");

    const auto payloads = [] (test::RawClient& client)
    {
        juce::StringArray seen;
        while (seen.isEmpty() || ! seen[seen.size() - 1].endsWith (" end"))
        {
            const auto frame = client.readFrame();
            if (! frame)
                break;
            seen.add (juce::String::toHexString (frame->firstByte) + " " + juce::String (frame->payload));
        }
        return seen;
    };
    EXPECT_EQ (payloads (*first), (juce::StringArray { "81 to first", "82 nb", "81 end" }));
    EXPECT_EQ (payloads (*second), (juce::StringArray { "82 b2", "81 not first", "81 end" }));
}

TEST_F (WebSocketServer, LimitsIncomingMessagesToOneMillionBytes)
{
    start();
    struct Case { size_t size; bool delivered; };
    for (const auto c : { Case { 1000000, true }, Case { 1000001, false } })
    {
        const auto binariesBefore = log.getBinaries().size();
        const auto errorsBefore = log.getClientErrors().size();
        auto client = connect();
        // The server may refuse the oversized frame before it has all been sent.
        const auto sent = client->sendFrame (2, std::string (c.size, 'z'));
        if (c.delivered)
        {
            ASSERT_TRUE (sent);
            ASSERT_TRUE (test::pumpUntil ([&] { return log.getBinaries().size() > binariesBefore; }));
            EXPECT_EQ (log.getBinaries().back().getSize(), c.size);
            EXPECT_EQ (server.getNumClients(), 1);
        }
        else
        {
            const auto frame = client->readFrame();
            ASSERT_TRUE (frame.has_value());
            EXPECT_EQ (frame->firstByte, 0x88);
            EXPECT_EQ (test::closeStatus (*frame), 1009);
            ASSERT_TRUE (test::pumpUntil ([&] { return log.getClientErrors().size() > errorsBefore; }));
            EXPECT_EQ (log.getBinaries().size(), binariesBefore);
        }
        client.reset();
        ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 0; }));
    }
}

TEST_F (WebSocketServer, ReportsHowEachConnectionEnded)
{
    start();

    // The server closes: the client stays counted until it has answered and hung up.
    juce::String id;
    auto client = connect (&id);
    server.closeClient (id, 1001, "Going away");
    auto frame = client->readFrame();
    ASSERT_TRUE (frame.has_value());
    EXPECT_EQ (frame->firstByte, 0x88);
    EXPECT_EQ (frame->payload, closePayload (1001, "Going away"));
    EXPECT_EQ (server.getNumClients(), 1);
    ASSERT_TRUE (client->sendFrame (8, closePayload (1001, "")));
    EXPECT_TRUE (client->waitForClose());
    client.reset();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getClosed().size() == 1; }));
    EXPECT_EQ (log.getClosed()[0].id, id);
    EXPECT_EQ (log.getClosed()[0].status, 1001);
    EXPECT_EQ (server.getNumClients(), 0);

    // The client closes: the server answers with the same status.
    client = connect (&id);
    ASSERT_TRUE (client->sendFrame (8, closePayload (1000, "bye")));
    frame = client->readFrame();
    ASSERT_TRUE (frame.has_value());
    EXPECT_EQ (frame->firstByte, 0x88);
    EXPECT_EQ (test::closeStatus (*frame), 1000);
    EXPECT_TRUE (client->waitForClose());
    client.reset();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getClosed().size() == 2; }));
    EXPECT_EQ (log.getClosed()[1].id, id);
    EXPECT_EQ (log.getClosed()[1].status, 1000);
    EXPECT_EQ (log.getClosed()[1].reason, "bye");

    // The client vanishes without a close frame.
    client = connect (&id);
    client.reset();
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getClientErrors().size() == 1; }));
    EXPECT_TRUE (log.getClientErrors()[0].startsWith (id + ": "));
    EXPECT_EQ (server.getNumClients(), 0);
    EXPECT_EQ (log.getClosed().size(), 2u);

    // Sends to a closed id do nothing.
    server.sendTextTo ("late", id);
    server.closeClient (id, 1000, "late");
}

TEST_F (WebSocketServer, StopSendsEveryClientServerDestroyed)
{
    start();
    auto clients = startNode ("ws-clients.js", { "ws://127.0.0.1:" + juce::String (port) + "/", "3", "15000" });
    ASSERT_NE (clients, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 3; }, 15000));

    server.broadcastText ("hello");
    server.stopServer();
    EXPECT_EQ (server.getNumClients(), 0);
    EXPECT_FALSE (server.isRunning());

    const auto lines = finishNode (*clients);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_TRUE (lines.contains ("message " + juce::String (i) + " text hello")) << lines.joinIntoString ("\n");
        EXPECT_TRUE (lines.contains ("close " + juce::String (i) + " 1000 Server destroyed")) << lines.joinIntoString ("\n");
    }
    test::pumpFor (50);
    EXPECT_TRUE (log.getClosed().empty());
    EXPECT_TRUE (log.getClientErrors().isEmpty());
}

TEST_F (WebSocketServer, DropsAClientThatStopsReading)
{
    start();
    juce::String stalledId, readerId;
    auto stalled = connect (&stalledId);
    auto reader = connect (&readerId);

    std::atomic<int> framesRead { 0 };
    std::atomic<bool> finished { false };
    std::thread readerThread ([&]
    {
        while (! finished)
            if (reader->readFrame (100))
                ++framesRead;
    });

    // Each broadcast waits until the reading client has it, so only the stalled one falls behind.
    const std::string megabyte (1 << 20, 'q');
    int sent = 0;
    while (sent < 100 && log.getClientErrors().isEmpty())
    {
        server.broadcastBinary (megabyte.data(), (int) megabyte.size());
        ++sent;
        EXPECT_TRUE (test::pumpUntil ([&] { return framesRead == sent; }, 10000));
    }
    finished = true;
    readerThread.join();

    ASSERT_EQ (log.getClientErrors().size(), 1) << sent;
    EXPECT_EQ (log.getClientErrors()[0], stalledId + ": Send queue overflow: the client does not read");
    EXPECT_EQ (server.getNumClients(), 1);
    EXPECT_LT (sent, 100);

    // The rest go on as before.
    server.broadcastText ("still here");
    const auto frame = reader->readFrame();
    ASSERT_TRUE (frame.has_value());
    EXPECT_EQ (frame->payload, "still here");
}

TEST_F (WebSocketServer, AGreetingLargerThanTheQueueLimitReachesAReaderButNotOneThatNeverReads)
{
    start();
    juce::String stalledId, readerId;
    auto stalled = connect (&stalledId);
    auto reader = connect (&readerId);

    std::atomic<int> framesRead { 0 };
    std::atomic<bool> finished { false };
    std::vector<std::string> payloads; // read by the test once the reader thread has joined
    std::thread readerThread ([&]
    {
        while (! finished)
            if (auto frame = reader->readFrame (100))
            {
                payloads.push_back (frame->payload.size() > 32 ? std::to_string (frame->payload.size()) : frame->payload);
                ++framesRead;
            }
    });

    // A greeting as a long show sends it: one message past the limit, then small ones at once.
    const juce::String cueList = juce::String::repeatedString ("c", 12 * 1024 * 1024);
    for (const auto& id : { readerId, stalledId })
    {
        server.sendTextTo (cueList, id);
        server.sendTextTo ("waveform", id);
        server.sendReplaceableTextTo ("time", 1, id);
        server.sendTextTo ("misc", id);
    }
    EXPECT_TRUE (test::pumpUntil ([&] { return framesRead == 4 || ! log.getClientErrors().isEmpty(); }, 20000));
    EXPECT_TRUE (log.getClientErrors().isEmpty()) << log.getClientErrors().joinIntoString ("; ");

    // The client that never reads is still dropped once more piles up behind the greeting.
    const std::string megabyte (1 << 20, 'q');
    int sent = 0;
    while (sent < 100 && log.getClientErrors().isEmpty())
    {
        server.broadcastBinary (megabyte.data(), (int) megabyte.size());
        ++sent;
        EXPECT_TRUE (test::pumpUntil ([&] { return framesRead == 4 + sent; }, 10000));
    }
    finished = true;
    readerThread.join();

    ASSERT_EQ (log.getClientErrors().size(), 1) << sent;
    EXPECT_EQ (log.getClientErrors()[0], stalledId + ": Send queue overflow: the client does not read");
    EXPECT_LT (sent, 100);
    ASSERT_GE (payloads.size(), 4u);
    EXPECT_EQ (std::vector<std::string> (payloads.begin(), payloads.begin() + 4),
               (std::vector<std::string> { std::to_string (12 * 1024 * 1024), "waveform", "time", "misc" }));
}

TEST_F (WebSocketServer, StopGivesAClientThatNeverReadsAtMostTheFlushTime)
{
    start();
    auto stalled = connect();
    const std::string megabyte (1 << 20, 'q');
    for (int i = 0; i < 7; ++i) // fills the socket buffers without reaching the queue limit
        server.broadcastBinary (megabyte.data(), (int) megabyte.size());

    const auto started = juce::Time::getMillisecondCounterHiRes();
    server.stopServer();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - started;
    EXPECT_FALSE (server.isThreadRunning());
    EXPECT_LT (elapsed, 5000.0); // the flush gets a second; anything near this bound is a hang
    EXPECT_EQ (server.getNumClients(), 0);
}

TEST_F (WebSocketServer, RestartsOnAnotherAddressAndOnTheSameOneRightAway)
{
    start();
    auto clients = startNode ("ws-clients.js", { "ws://127.0.0.1:" + juce::String (port) + "/", "3", "15000" });
    ASSERT_NE (clients, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 3; }, 15000));
    server.stopServer();
    finishNode (*clients);

    // The closed connections linger on the port; the same address binds again at once.
    server.start (port, {}, "127.0.0.1");
    ASSERT_TRUE (test::pumpUntil ([&] { return server.isRunning() || ! log.getServerErrors().isEmpty(); }));
    EXPECT_TRUE (server.isRunning()) << log.getServerErrors().joinIntoString ("; ");

    // Another address: the old one no longer answers, the listener is still registered.
    server.stopServer();
    server.start (port, {}, "127.0.0.2");
    ASSERT_TRUE (test::pumpUntil ([&] { return server.isRunning() || ! log.getServerErrors().isEmpty(); }));
    EXPECT_TRUE (server.isRunning()) << log.getServerErrors().joinIntoString ("; ");
    EXPECT_EQ (server.getBindAddress(), "127.0.0.2");
    EXPECT_EQ (log.getStarts(), 3);

    test::RawClient newAddress, oldAddress;
    ASSERT_TRUE (newAddress.connect (port, "127.0.0.2"));
    ASSERT_TRUE (newAddress.upgrade ("/"));
    EXPECT_FALSE (oldAddress.connect (port, "127.0.0.1"));
}

TEST_F (WebSocketServer, RefusesAPortThatAnotherProcessListensOn)
{
    // A holder on a port of this process's range; one that finds its port taken ends at once.
    int busyPort = 0;
    std::unique_ptr<juce::ChildProcess> holder;
    for (int attempt = 0; attempt < 10 && busyPort == 0; ++attempt)
    {
        const auto candidate = test::nextCandidatePort();
        holder = startNode ("port-holder.js", { "127.0.0.1", juce::String (candidate), "20000" });
        ASSERT_NE (holder, nullptr);
        test::pumpUntil ([&] { return ! holder->isRunning() || juce::StreamingSocket().connect ("127.0.0.1", candidate, 100); }, 15000);
        if (holder->isRunning())
            busyPort = candidate;
    }
    ASSERT_NE (busyPort, 0);

    server.addListener (&log);
    server.start (busyPort, {}, "127.0.0.1");
    ASSERT_TRUE (test::pumpUntil ([&] { return ! log.getServerErrors().isEmpty(); }));
    EXPECT_TRUE (log.getServerErrors()[0].startsWith ("bind: ")) << log.getServerErrors()[0];
    EXPECT_FALSE (server.isRunning());
    holder->kill();
}

TEST_F (WebSocketServer, KeepsAnIdleWebSocketPastTheRequestTimeOut)
{
    start();
    juce::String id;
    auto client = connect (&id);

    // An idle HTTP connection is dropped after a second; the WebSocket is not.
    test::RawClient idle;
    ASSERT_TRUE (idle.connect (port));
    ASSERT_TRUE (idle.waitForClose (10000));

    EXPECT_EQ (server.getNumClients(), 1);
    server.sendTextTo ("awake", id);
    const auto frame = client->readFrame();
    ASSERT_TRUE (frame.has_value());
    EXPECT_EQ (frame->payload, "awake");
}

TEST_F (WebSocketServer, ClientsComeAndGoWhileTheMessageThreadBroadcasts)
{
    start();
    std::atomic<bool> churnDone { false };
    std::thread churn ([&]
    {
        for (int i = 0; i < 200; ++i)
        {
            test::RawClient client;
            if (client.connect (port) && client.upgrade ("/") && i % 2 == 0)
                client.sendFrame (8, closePayload (1000, ""));
        }
        churnDone = true;
    });
    std::thread sender ([&]
    {
        while (! churnDone)
        {
            server.sendTextTo ("direct", "127.0.0.1:1");
            server.getNumClients();
            std::this_thread::yield();
        }
    });

    const auto deadline = juce::Time::getMillisecondCounterHiRes() + 60000;
    while (! churnDone && juce::Time::getMillisecondCounterHiRes() < deadline)
    {
        server.broadcastText ("tick");
        server.broadcastBinary ("tock", 4);
        test::pumpFor (1);
    }
    churn.join();
    sender.join();
    EXPECT_TRUE (churnDone.load());
    EXPECT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 0; }, 10000));
    EXPECT_EQ (log.getConnected().size(), (int) (log.getClosed().size() + (size_t) log.getClientErrors().size()));
}
}
