#pragma once

// Internal to the network side: only the service and the sessions include it.
#include "server/websocket/WebSocketConnection.h"
#include <memory>

/** One WebSocket connection as the service that accepted it sees it, whatever the stream
    below (plain TCP or TLS): see BasicWebSocketSession. */
class WebSocketSession : public WebSocketConnection
{
public:
    /** Told of the session's events on the service thread. */
    class Owner
    {
    public:
        virtual ~Owner() = default;
        virtual void sessionOpened (const std::shared_ptr<WebSocketSession>&) = 0;
        virtual void sessionMessage (const std::shared_ptr<WebSocketSession>&, const void* data, size_t numBytes, bool binary) = 0;
        virtual void sessionClosed (const std::shared_ptr<WebSocketSession>&, int status, const juce::String& reason) = 0;
        virtual void sessionFailed (const std::shared_ptr<WebSocketSession>&, const juce::String& message) = 0;
        /** The last call for a session: it has finished, opened or not. */
        virtual void sessionEnded (WebSocketSession*) = 0;
        /** From any thread: have writeQueued() called on the service thread soon. */
        virtual void scheduleWrite (std::shared_ptr<WebSocketSession> session) = 0;
    };

    struct Limits
    {
        int handshakeTimeoutMs = 5000;
        size_t maxMessageBytes = 1000000;
        size_t sendQueueLimit = 8 * 1024 * 1024;
        int incompleteFrameTimeoutMs = 1000; // a client stuck inside a frame this long is dropped
    };

    /** Keeps something alive for as long as the connection is open (the server's count of
        connections, for one); let go when the session ends. */
    virtual void holdWhileOpen (std::shared_ptr<void> token) = 0;

    /** Sends the close frame, or drops a connection whose handshake has not finished (service thread). */
    virtual void closeForShutdown (int status, const juce::String& reason) = 0;

    /** Writes what is queued (service thread; see Owner::scheduleWrite). */
    virtual void writeQueued() = 0;
};
