#pragma once

#include "server/websocket/HttpWebSocketService.h"
#include "server/websocket/SimpleWebSocketServerBase.h"
#include <atomic>
#include <functional>
#include <map>
#include <string>

/** The plain (unencrypted) server: static files from the root folder over HTTP, and
    WebSocket connections on the endpoint path, on one port.

    A client id is the connection's remote "address:port". Messages to clients only queue;
    a connection that stops reading is dropped once it has 8 MB waiting. Incoming messages
    over 1,000,000 bytes close the connection (status 1009), and so does a frame left
    unfinished for longer than the request time-out of one second. Files go out in pieces. stop() sends every client a
    close frame with status 1000 and "Server destroyed" and waits at most about a second
    for them to go out. */
class SimpleWebSocketServer : public SimpleWebSocketServerBase,
                              private HttpWebSocketService::Handler
{
public:
    SimpleWebSocketServer();
    ~SimpleWebSocketServer() override;

    void broadcastBinary (const void* data, int numBytes) override;
    void broadcastText (const juce::String& message) override;
    void sendBinaryTo (const juce::MemoryBlock& data, const juce::String& clientId) override;
    void sendTextTo (const juce::String& message, const juce::String& clientId) override;
    void broadcastBinaryExcept (const juce::MemoryBlock& data, juce::StringArray idsToLeaveOut) override;
    void broadcastTextExcept (const juce::String& message, juce::StringArray idsToLeaveOut) override;
    void stop() override;
    void closeClient (const juce::String& clientId, int status, const juce::String& reason) override;
    int getNumClients() override;
    void broadcastReplaceableText (const juce::String& message, int replaceKey, juce::StringArray idsToLeaveOut) override;
    void sendReplaceableTextTo (const juce::String& message, int replaceKey, const juce::String& clientId) override;

    /** The replace keys of the messages waiting unsent for a client, oldest first (see
        WebSocketConnection::getWaitingKeys); empty for an unknown client. */
    std::vector<int> getWaitingKeys (const juce::String& clientId);

    /** The MIME type for a file extension with its dot (".html"), compared exactly; empty when unknown. */
    static juce::String getMimeType (const juce::String& extension);

    /** The most connections (HTTP and WebSocket) this server keeps open at once; more are
        refused with a 503. All servers together also stay within the process's budget of
        descriptors (ConnectionBudget). Takes effect at the next start. */
    void setMaxConnections (int limit) { maxConnections = limit; }
    static constexpr int defaultMaxConnections = 2000;

    /** How long stop() lets the close frames go out before it stops the service. */
    static constexpr int closeFlushTimeoutMs = 1000;

protected:
    void runServer() override;

    /** The methods answered from the files; any other gets 405 with these in "Allow". */
    virtual juce::StringArray getServedMethods() const;
    /** Adjusts the service's settings at each start, on the server thread. */
    virtual void configureService (HttpWebSocketService::Settings& settings);

    // The server thread's handlers.
    void onHttpRequest (std::shared_ptr<HttpResponse> response, std::shared_ptr<const HttpRequest> request) override;
    bool isWebSocketPath (const juce::String& path) override;
    void onClientOpen (std::shared_ptr<WebSocketConnection> connection) override;
    void onClientMessage (std::shared_ptr<WebSocketConnection> connection, const void* data, size_t numBytes, bool binary) override;
    void onClientClose (std::shared_ptr<WebSocketConnection> connection, int status, const juce::String& reason) override;
    void onClientError (std::shared_ptr<WebSocketConnection> connection, const juce::String& message) override;

    /** Writes the 200 answer with the file's content. False when the file cannot be read. */
    bool serveFile (const juce::File& file, HttpResponse& response);

private:
    static std::map<juce::String, juce::String> fillMimeTypes();
    /** The file a request path names under the root, or an empty File when the path could
        lead anywhere else. */
    static juce::File resolveRequestPath (const juce::File& root, const juce::String& path);
    static bool isInside (const juce::File& root, const juce::File& file);

    void sendToAll (std::shared_ptr<const std::string> payload, bool binary, const juce::StringArray& idsToLeaveOut,
                    int replaceKey = WebSocketConnection::noReplaceKey);
    void sendTo (const juce::String& clientId, std::shared_ptr<const std::string> payload, bool binary,
                 int replaceKey = WebSocketConnection::noReplaceKey);
    /** Removes the connection's entry unless a newer connection with the same id has
        replaced it. Returns whether listeners should hear of the connection's end. */
    bool forget (const std::shared_ptr<WebSocketConnection>& connection);

    juce::CriticalSection serverLock; // guards service; never held while waiting for the thread
    std::shared_ptr<HttpWebSocketService> service;
    std::function<bool (const std::string&)> endpointMatches; // set before the service runs
    std::atomic<int> maxConnections { defaultMaxConnections };

    juce::CriticalSection clientsLock;
    juce::HashMap<juce::String, std::shared_ptr<WebSocketConnection>> clients;

    JUCE_DECLARE_NON_COPYABLE (SimpleWebSocketServer)
};
