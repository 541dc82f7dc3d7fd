#include "server/websocket/ConnectionBudget.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{
const juce::File scriptFolder = juce::File (VANTREL_SOURCE_DIR).getChildFile ("tests/server/websocket");
const std::string serviceUnavailable = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

/** Sends an upgrade request and returns the whole answer, whatever its status. */
std::string upgradeAnswer (test::RawClient& client)
{
    client.send ("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    return client.readHttpResponse().value_or ("");
}

/** The first bytes of a masked text frame that announces more payload than it brings. */
std::string halfFrame()
{
    return std::string ("\x81\x8a\x01\x02\x03\x04", 6) + "abc"; // 10 bytes announced, 3 sent
}

class ConnectionLimits : public ::testing::Test
{
protected:
    void start (SimpleWebSocketServer& s, test::EventLog& l, int& p)
    {
        p = test::startOnFreePort (s, l);
        ASSERT_NE (p, 0);
    }

    std::unique_ptr<test::RawClient> connect (int p)
    {
        auto client = std::make_unique<test::RawClient>();
        EXPECT_TRUE (client->connect (p));
        EXPECT_TRUE (client->upgrade ("/"));
        return client;
    }

    test::EventLog log; // outlives the server, whose thread reports to it
    SimpleWebSocketServer server;
    int port = 0;
};
}

TEST_F (ConnectionLimits, AServerAtItsLimitRefusesTheNextAndTheOthersKeepReceiving)
{
    server.setMaxConnections (10);
    start (server, log, port);

    juce::ChildProcess clients;
    ASSERT_TRUE (clients.start (juce::StringArray { "node", scriptFolder.getChildFile ("ws-clients.js").getFullPathName(),
                                                    "ws://127.0.0.1:" + juce::String (port) + "/", "10", "20000" }));
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 10; }, 15000));

    // The eleventh is told before its upgrade and closed; so is a plain request.
    test::RawClient eleventh;
    ASSERT_TRUE (eleventh.connect (port));
    EXPECT_EQ (upgradeAnswer (eleventh), serviceUnavailable);
    EXPECT_TRUE (eleventh.waitForClose());
    EXPECT_EQ (test::httpGet (port, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").value_or (""), serviceUnavailable);

    server.broadcastText ("still here");
    test::pumpFor (50);
    EXPECT_EQ (server.getNumClients(), 10);
    server.stopServer();

    ASSERT_TRUE (clients.waitForProcessToFinish (20000));
    const auto lines = juce::StringArray::fromLines (clients.readAllProcessOutput().trim());
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE (lines.contains ("message " + juce::String (i) + " text still here")) << lines.joinIntoString ("\n");
    EXPECT_TRUE (log.getClientErrors().isEmpty()) << log.getClientErrors().joinIntoString ("\n");
}

TEST_F (ConnectionLimits, AClosedConnectionMakesRoomForTheNext)
{
    server.setMaxConnections (2);
    start (server, log, port);
    auto first = connect (port);
    auto second = connect (port);
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 2; }));

    first->sendFrame (0x8, std::string ("\x03\xe8", 2)); // close 1000
    ASSERT_TRUE (first->waitForClose());
    first.reset(); // as a browser does once the closing handshake is done
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 1; }));

    test::RawClient third;
    ASSERT_TRUE (third.connect (port));
    EXPECT_TRUE (third.upgrade ("/"));
}

TEST_F (ConnectionLimits, AllServersTogetherStayWithinTheDescriptorLimitLessTheReserve)
{
    rlimit saved {};
    ASSERT_EQ (getrlimit (RLIMIT_NOFILE, &saved), 0);

    test::EventLog otherLog;
    SimpleWebSocketServer other;
    int otherPort = 0;
    start (server, log, port);
    start (other, otherLog, otherPort);

    // Room for three more connections in the whole process.
    rlimit lowered = saved;
    lowered.rlim_cur = (rlim_t) (ConnectionBudget::getNumTaken() + ConnectionBudget::reserve + 3);
    ASSERT_EQ (setrlimit (RLIMIT_NOFILE, &lowered), 0);

    auto a1 = connect (port);
    auto a2 = connect (port);
    auto b1 = connect (otherPort);
    for (auto p : { port, otherPort })
    {
        test::RawClient refused;
        ASSERT_TRUE (refused.connect (p));
        EXPECT_EQ (upgradeAnswer (refused), serviceUnavailable) << "port " << p;
    }
    ASSERT_TRUE (test::pumpUntil ([&] { return server.getNumClients() == 2 && other.getNumClients() == 1; }));

    EXPECT_EQ (setrlimit (RLIMIT_NOFILE, &saved), 0);
    other.stopServer();
}

TEST_F (ConnectionLimits, AFrameLeftUnfinishedClosesItsConnectionButSilenceDoesNot)
{
    start (server, log, port);
    juce::String listenerId;
    auto listener = connect (port);
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getConnected().size() == 1; }));
    listenerId = log.getConnected()[0];

    // A frame that arrives in pieces, well within the time-out, is a message like any other.
    auto slow = connect (port);
    const auto frame = halfFrame();
    ASSERT_TRUE (slow->send (frame.substr (0, 4)));
    test::pumpFor (200);
    ASSERT_TRUE (slow->send (frame.substr (4) + std::string ("\x65\x61\x6d\x6f\x6b\x6f\x6f", 7)));
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getTexts().size() == 1; }));

    // A frame that stops half-way is dropped after the request time-out of one second.
    auto stuck = connect (port);
    ASSERT_TRUE (stuck->send (halfFrame()));
    EXPECT_TRUE (stuck->waitForClose (10000));
    ASSERT_TRUE (test::pumpUntil ([&] { return log.getClientErrors().size() == 1; }));
    EXPECT_TRUE (log.getClientErrors()[0].endsWith (": Incomplete frame time-out")) << log.getClientErrors()[0];

    // The client that only listens, and the one that finished its frame, are still served.
    EXPECT_EQ (server.getNumClients(), 2);
    server.sendTextTo ("awake", listenerId);
    const auto received = listener->readFrame();
    ASSERT_TRUE (received.has_value());
    EXPECT_EQ (received->payload, "awake");
}
