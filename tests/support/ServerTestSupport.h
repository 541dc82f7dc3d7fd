#pragma once

#include "server/websocket/SimpleWebSocketServer.h"
#include <juce_core/juce_core.h>
#include <optional>
#include <string>
#include <vector>

namespace test
{
/** Everything a server told its listener, recorded from the server thread. */
class EventLog : public SimpleWebSocketServerBase::Listener
{
public:
    struct Closed { juce::String id; int status; juce::String reason; };

    void serverStarted() override;
    void serverError (const juce::String& message) override;
    void clientConnected (const juce::String& id) override;
    void textReceived (const juce::String& id, const juce::String& text) override;
    void binaryReceived (const juce::String& id, const juce::MemoryBlock& data) override;
    void clientClosed (const juce::String& id, int status, const juce::String& reason) override;
    void clientError (const juce::String& id, const juce::String& message) override;

    int getStarts() const;
    juce::StringArray getServerErrors() const;
    juce::StringArray getConnected() const;
    juce::StringArray getTexts() const;
    std::vector<juce::MemoryBlock> getBinaries() const;
    std::vector<Closed> getClosed() const;
    juce::StringArray getClientErrors() const; // "id: message"

private:
    juce::CriticalSection lock;
    int starts = 0;
    juce::StringArray serverErrors, connected, texts, clientErrors;
    std::vector<juce::MemoryBlock> binaries;
    std::vector<Closed> closed;
};

/** A port for this test process: tests run in parallel processes, so each starts its search
    at a place derived from its process id and moves on past ports that are taken. */
int nextCandidatePort();

/** Starts the server on 127.0.0.1 (or the given address) at the first free candidate port.
    Returns the port, or 0 when no start succeeded. */
int startOnFreePort (SimpleWebSocketServer& server, EventLog& log, const juce::String& endpointPath = {},
                     const juce::String& address = "127.0.0.1");

/** A plain TCP client for exact bytes on the wire. Reads wait at most the given time. */
class RawClient
{
public:
    RawClient();
    bool connect (int port, const juce::String& host = "127.0.0.1");
    bool send (const std::string& bytes);

    /** Reads until the buffer holds at least n bytes; false on time-out or close. */
    bool readAtLeast (size_t n, int timeoutMs = 5000);
    /** Waits until the peer closes; everything received meanwhile stays in the buffer. */
    bool waitForClose (int timeoutMs = 5000);
    /** One complete HTTP answer (header and Content-Length body), taken from the buffer. */
    std::optional<std::string> readHttpResponse (int timeoutMs = 5000);

    std::string& buffer() { return received; }
    bool isClosed() const { return closed; }

    /** Sends an upgrade request with the RFC 6455 sample key and reads the 101 answer. */
    bool upgrade (const juce::String& path = "/");
    /** Sends one masked client frame. */
    bool sendFrame (int opcode, const std::string& payload);

    struct Frame { int firstByte = 0; std::string payload; };
    /** Reads one server frame (unmasked). */
    std::optional<Frame> readFrame (int timeoutMs = 5000);

private:
    bool fill (int timeoutMs);

    juce::StreamingSocket socket;
    std::string received;
    bool closed = false;
};

/** A whole HTTP exchange on a new connection. */
std::optional<std::string> httpGet (int port, const std::string& request);

/** The close frame's status (first two payload bytes). */
int closeStatus (const RawClient::Frame& frame);
}
