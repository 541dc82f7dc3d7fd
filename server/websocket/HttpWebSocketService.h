#pragma once

#include "server/websocket/HttpRequest.h"
#include "server/websocket/HttpResponse.h"
#include "server/websocket/WebSocketConnection.h"
#include <juce_core/juce_core.h>
#include <memory>

/** The network side of the server: one I/O context with a listening socket that reads HTTP
    requests and turns upgrade requests into WebSocket connections. It reports everything to
    its Handler on the thread that calls run(). The networking library stays inside its sources.

    Every open connection counts against the server's maxConnections and against the budget
    of all servers together (ConnectionBudget); a connection beyond either is answered with
    "503 Service Unavailable" and closed, and the others go on as before. A WebSocket client
    that begins a frame and does not finish it within the request time-out is dropped; one
    that sends nothing is never timed. */
class HttpWebSocketService
{
public:
    struct Settings
    {
        juce::String bindAddress;          // "" listens on every local IPv4 address
        int port = 0;
        bool reuseAddress = false;
        int requestTimeoutMs = 1000;       // to receive a request header; also the idle limit between requests
        int contentTimeoutMs = 300000;     // to receive a request body and to write the answer
        size_t maxRequestBytes = 1000000;  // header and body together
        size_t maxHeaderLines = 200;       // header field lines per request; more are answered 431
        int handshakeTimeoutMs = 5000;     // to write the WebSocket opening answer
        size_t maxMessageBytes = 1000000;  // larger incoming messages close the connection with 1009
        size_t sendQueueLimit = 8 * 1024 * 1024; // queued outgoing bytes past which a connection is dropped
        int maxConnections = 2000;         // open HTTP and WebSocket connections; more get a 503

        // With a certificate file every connection speaks TLS 1.2 (no other version, no
        // compression) before its first request; without one, plain TCP.
        juce::String certificateFile;      // the certificate chain, PEM
        juce::String privateKeyFile;       // its private key, PEM
        juce::String verifyFile;           // authorities that client certificates must verify
                                           // against; empty means none is asked for
    };

    /** Receives requests and connection events on the service thread. */
    class Handler
    {
    public:
        virtual ~Handler() = default;
        /** Writes the whole answer into the response; writing nothing sends nothing. */
        virtual void onHttpRequest (std::shared_ptr<HttpResponse> response, std::shared_ptr<const HttpRequest> request) = 0;
        /** Whether an upgrade request for this path becomes a WebSocket connection; if not,
            the connection is dropped without an answer. */
        virtual bool isWebSocketPath (const juce::String& path) = 0;
        virtual void onClientOpen (std::shared_ptr<WebSocketConnection> connection) = 0;
        virtual void onClientMessage (std::shared_ptr<WebSocketConnection> connection, const void* data, size_t numBytes, bool binary) = 0;
        virtual void onClientClose (std::shared_ptr<WebSocketConnection> connection, int status, const juce::String& reason) = 0;
        /** A failed handshake, read or write, a protocol error, or an overfull send queue. */
        virtual void onClientError (std::shared_ptr<WebSocketConnection> connection, const juce::String& message) = 0;
    };

    HttpWebSocketService (const Settings& settings, Handler& handler);
    ~HttpWebSocketService();

    /** Loads the TLS files, then opens, binds and listens; throws std::runtime_error naming
        the failed step. Returns the bound port. */
    int listen();

    /** Serves on the calling thread until shutdown() has finished. */
    void run();

    /** From any thread: stops accepting, closes the HTTP connections, sends every WebSocket
        connection a close frame and gives them at most flushTimeoutMs to be flushed before
        run() returns. The handler hears of nothing from the moment this is called. */
    void shutdown (int status, const juce::String& reason, int flushTimeoutMs);

    struct Impl; // defined in the source, with the networking library

private:
    std::unique_ptr<Impl> impl;

    JUCE_DECLARE_NON_COPYABLE (HttpWebSocketService)
};
