#include "support/ServerTestSupport.h"
#include <gtest/gtest.h>

namespace
{
/** A connection that records what it is sent. */
class FakeConnection : public WebSocketConnection
{
public:
    explicit FakeConnection (const juce::String& clientId) : id (clientId) {}

    const juce::String& getId() const noexcept override { return id; }
    void send (std::shared_ptr<const std::string> payload, bool, int) override { sent.push_back (std::move (payload)); }
    void close (int status, const juce::String&) override { closes.push_back (status); }

    const juce::String id;
    std::vector<std::shared_ptr<const std::string>> sent;
    std::vector<int> closes;
};

/** Drives the server thread's handlers directly, as the network side would. */
class ClientTable : public SimpleWebSocketServer
{
public:
    using SimpleWebSocketServer::onClientClose;
    using SimpleWebSocketServer::onClientError;
    using SimpleWebSocketServer::onClientOpen;
};

TEST (ClientTable, TheEndOfAnOldConnectionLeavesTheReconnectedClient)
{
    ClientTable server;
    test::EventLog log;
    server.addListener (&log);

    auto old = std::make_shared<FakeConnection> ("192.0.2.7:5000");
    auto reconnected = std::make_shared<FakeConnection> ("192.0.2.7:5000");
    server.onClientOpen (old);
    server.onClientOpen (reconnected);
    EXPECT_EQ (server.getNumClients(), 1);

    // The old connection's failure arrives late: the new entry stays, and no one hears of it.
    server.onClientError (old, "Connection reset by peer");
    server.onClientClose (old, 1006, "");
    EXPECT_EQ (server.getNumClients(), 1);
    EXPECT_TRUE (log.getClientErrors().isEmpty());
    EXPECT_TRUE (log.getClosed().empty());

    server.sendTextTo ("hello", "192.0.2.7:5000");
    EXPECT_TRUE (old->sent.empty());
    ASSERT_EQ (reconnected->sent.size(), 1u);

    server.onClientClose (reconnected, 1000, "bye");
    EXPECT_EQ (server.getNumClients(), 0);
    ASSERT_EQ (log.getClosed().size(), 1u);
    EXPECT_EQ (log.getClosed()[0].reason, "bye");

    // A connection whose handshake failed was never counted, but is reported.
    server.onClientError (std::make_shared<FakeConnection> ("192.0.2.8:6000"), "bad handshake");
    EXPECT_EQ (log.getClientErrors(), juce::StringArray { "192.0.2.8:6000: bad handshake" });
}

TEST (ClientTable, ABroadcastSharesOnePayloadAmongAllClients)
{
    ClientTable server;
    std::vector<std::shared_ptr<FakeConnection>> connections;
    for (int i = 0; i < 3; ++i)
    {
        connections.push_back (std::make_shared<FakeConnection> ("192.0.2.1:" + juce::String (1000 + i)));
        server.onClientOpen (connections.back());
    }

    server.broadcastText ("time");
    const char bytes[] = { 1, 2, 3 };
    server.broadcastBinary (bytes, 3);
    server.broadcastTextExcept ("cuelist", juce::StringArray { "192.0.2.1:1000" });

    for (size_t message = 0; message < 2; ++message)
        for (auto& c : connections)
            EXPECT_EQ (c->sent[message].get(), connections[0]->sent[message].get());
    EXPECT_EQ (*connections[0]->sent[0], "time");
    EXPECT_EQ (connections[0]->sent.size(), 2u);
    EXPECT_EQ (connections[1]->sent[2].get(), connections[2]->sent[2].get());

    server.closeClient ("192.0.2.1:1001", 1001, "Going away");
    EXPECT_EQ (connections[1]->closes, std::vector<int> { 1001 });
    EXPECT_EQ (server.getNumClients(), 3); // until the connection reports its close
}
}
