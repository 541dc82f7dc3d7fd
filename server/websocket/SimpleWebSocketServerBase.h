#pragma once

#include "server/websocket/HttpRequest.h"
#include "server/websocket/HttpResponse.h"
#include "server/websocket/WebSocketConnection.h"
#include <juce_core/juce_core.h>
#include <atomic>
#include <functional>
#include <memory>

/** A server of static files and WebSocket connections on one TCP port, run on a thread of
    its own ("Web socket"). The owner starts and stops it on the message thread and hears
    about connections through listeners; every listener callback comes from the server thread.

    Sends and broadcasts may be called from any thread: they only queue. */
class SimpleWebSocketServerBase : public juce::Thread
{
public:
    /** Receives the server's events, all on the server thread. Every callback defaults to nothing. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void serverStarted() {}
        virtual void serverError (const juce::String& /*message*/) {}
        /** A new connection is about to join the client table (and with it the broadcasts). */
        virtual void clientOpening (const juce::String& /*clientId*/) {}
        virtual void clientConnected (const juce::String& /*clientId*/) {}
        virtual void textReceived (const juce::String& /*clientId*/, const juce::String& /*text*/) {}
        virtual void binaryReceived (const juce::String& /*clientId*/, const juce::MemoryBlock& /*data*/) {}
        virtual void clientClosed (const juce::String& /*clientId*/, int /*status*/, const juce::String& /*reason*/) {}
        virtual void clientError (const juce::String& /*clientId*/, const juce::String& /*message*/) {}
    };

    /** Asked, in the order added, before the static files; returns true when it has answered. */
    class RequestHandler
    {
    public:
        virtual ~RequestHandler() = default;
        virtual bool handleRequest (std::shared_ptr<HttpResponse> response, std::shared_ptr<const HttpRequest> request) = 0;
    };

    SimpleWebSocketServerBase();
    ~SimpleWebSocketServerBase() override;

    void run() final;

    virtual void broadcastBinary (const void* data, int numBytes);
    virtual void broadcastText (const juce::String& message);
    virtual void sendBinaryTo (const juce::MemoryBlock& data, const juce::String& clientId);
    virtual void sendTextTo (const juce::String& message, const juce::String& clientId);
    virtual void broadcastBinaryExcept (const juce::MemoryBlock& data, juce::StringArray idsToLeaveOut);
    virtual void broadcastTextExcept (const juce::String& message, juce::StringArray idsToLeaveOut);
    virtual void stop();
    virtual void closeClient (const juce::String& clientId, int status, const juce::String& reason);
    virtual int getNumClients();

    /** As broadcastTextExcept, for a message that stands for a state rather than an event:
        a client whose queue still holds an unsent message with the same replace key (an
        integer other than WebSocketConnection::noReplaceKey, chosen by the caller) gets the
        new one in the old one's place instead of both. */
    virtual void broadcastReplaceableText (const juce::String& message, int replaceKey, juce::StringArray idsToLeaveOut);
    /** As sendTextTo, replacing an unsent message with the same key (see above). */
    virtual void sendReplaceableTextTo (const juce::String& message, int replaceKey, const juce::String& clientId);

    /** Starts serving on the port (its low 16 bits) and address ("" means every local IPv4
        address), with the WebSocket endpoint at the path ("" means "/"). Returns at once; the
        start succeeded when isRunning() turns true, and failed when a listener hears serverError. */
    void start (int port, const juce::String& endpointPath, const juce::String& bindAddress);
    /** Stops (closing every WebSocket connection) and clears the running flag. */
    void stopServer();

    /** Adds a listener once; it takes part from the next event on. Not owned. */
    void addListener (Listener* listener);
    /** Adds a handler asked before the static files. Not owned. */
    void addRequestHandler (RequestHandler* handler);

    /** The folder whose files are served; may be set while the server runs. */
    void setRootFolder (const juce::File& folder);
    juce::File getRootFolder() const;

    int getPort() const noexcept { return port; }
    juce::String getBindAddress() const { return bindAddress; }
    juce::String getEndpointPath() const { return endpointPath; }
    /** True while the server listens. */
    bool isRunning() const noexcept { return running.load(); }

protected:
    virtual void runServer();

    /** Calls every listener registered when the call begins, without holding any lock. */
    void callListeners (const std::function<void (Listener&)>& callback);
    juce::Array<RequestHandler*> getRequestHandlers() const;
    bool getReuseAddress() const noexcept { return reuseAddress; }

    std::atomic<bool> running { false };

private:
    mutable juce::CriticalSection rootFolderLock;
    juce::File rootFolder;
    // Written by start() only while the server thread is not running.
    juce::String bindAddress;
    int port = 0;
    bool reuseAddress = false;
    juce::String endpointPath;

    mutable juce::CriticalSection listenerLock;
    juce::Array<Listener*> listeners;
    juce::Array<RequestHandler*> requestHandlers;

    JUCE_DECLARE_NON_COPYABLE (SimpleWebSocketServerBase)
};
