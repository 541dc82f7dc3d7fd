#pragma once

#include "server/websocket/WebSocketClientEngine.h"
#include <juce_core/juce_core.h>
#include <atomic>
#include <functional>
#include <memory>

/** A WebSocket client on a thread of its own: connect() starts the thread, which connects,
    performs the opening handshake and then serves the connection until it ends, close() is
    called or the client is destroyed. Every listener callback comes from that thread.

    This base connects to nothing (its runClient does nothing); SimpleWebSocketClient and
    SecureWebSocketClient connect over plain TCP and TLS. Sends and close may be called from
    any thread: they only queue. */
class SimpleWebSocketClientBase : public juce::Thread
{
public:
    /** Receives the client's events, all on the client thread. Every callback defaults to nothing. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void connectionOpened() {}
        virtual void textReceived (const juce::String& /*text*/) {}
        virtual void binaryReceived (const juce::MemoryBlock& /*data*/) {}
        virtual void connectionClosed (int /*status*/, const juce::String& /*reason*/) {}
        /** Not called while a disconnect (or the destructor) is under way. */
        virtual void connectionError (const juce::String& /*message*/) {}
    };

    SimpleWebSocketClientBase();
    ~SimpleWebSocketClientBase() override;

    void run() final;

    /** Stores the url ("host", optional ":port", optional path) and starts the client thread;
        a client still running is disconnected first. */
    virtual void connect (const juce::String& url);
    /** One binary frame, when there is a connection. */
    virtual void sendBinary (const void* data, int numBytes);
    /** One text frame (UTF-8), when there is a connection. */
    virtual void sendText (const juce::String& text);
    /** Sends a close frame (1000, "Time to split my friend") when there is a connection, then
        stops the client once the server has answered (or after half a second). */
    virtual void close();

    /** Closes and waits at most 1000 ms for the client thread to end, unless called on it.
        No connectionError is reported meanwhile. */
    void disconnect();

    /** Adds a listener once; not owned. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    juce::String getUrl() const;
    /** True while a connection is open. */
    bool isConnected() const noexcept { return connected.load(); }

protected:
    virtual void runClient();

    /** Serves one connection to the stored url on the calling (client) thread, over TLS or not. */
    void runLibraryClient (bool useTls, int defaultPort);

    std::atomic<bool> connected { false };
    std::atomic<bool> closing { false };

private:
    void callListeners (const std::function<void (Listener&)>& callback);

    mutable juce::CriticalSection urlLock;
    juce::String url;

    juce::CriticalSection listenerLock;
    juce::Array<Listener*> listeners;

    // The client thread replaces the library client and the connection; other threads send
    // and close through them. Both are guarded by connectionLock.
    juce::CriticalSection connectionLock;
    std::unique_ptr<WebSocketClientEngine> libraryClient;
    std::shared_ptr<WebSocketClientEngine::Connection> connection; // empty until it opens

    JUCE_DECLARE_NON_COPYABLE (SimpleWebSocketClientBase)
};
