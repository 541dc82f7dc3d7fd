#pragma once

#include <juce_core/juce_core.h>
#include <functional>
#include <memory>
#include <string>

/** The network side of the WebSocket clients: connects to a server (plain TCP, or TLS 1.2
    without verifying the server), performs the opening handshake and then reads and writes
    on the thread that calls run(). The networking library stays inside its source. */
class WebSocketClientEngine
{
public:
    /** An open connection. Its operations may be called from any thread: they only queue. */
    class Connection
    {
    public:
        virtual ~Connection() = default;
        /** Sends one text or binary frame (masked, as a client's frames are). */
        virtual void send (std::string payload, bool binary) = 0;
        /** Sends a close frame and ends the engine once the server has answered, or after
            closeWaitMs at most. */
        virtual void close (int status, const juce::String& reason) = 0;
    };

    /** Called on the thread in run(), each at most once except message. */
    struct Events
    {
        std::function<void (std::shared_ptr<Connection>)> opened;
        std::function<void (const void* data, size_t numBytes, bool binary)> message;
        std::function<void (int status, const juce::String& reason)> closed;
        std::function<void (const juce::String& message)> failed;
    };

    /** How long a close waits for the server's answer before the engine stops anyway. */
    static constexpr int closeWaitMs = 500;
    /** Time-outs of connecting and the handshakes, and of a connection on which nothing arrives. */
    static constexpr int requestTimeoutSeconds = 1000;
    static constexpr int idleTimeoutSeconds = 1000;

    WebSocketClientEngine (bool useTls, Events events);
    ~WebSocketClientEngine();

    /** Connects to url ("host", optional ":port", optional path; defaultPort without one) and
        serves the connection on the calling thread until it ends or stop() is called. */
    void run (const juce::String& url, int defaultPort);

    /** From any thread: makes run() return soon. */
    void stop();

    struct Impl; // defined in the source, with the networking library

private:
    std::unique_ptr<Impl> impl;

    JUCE_DECLARE_NON_COPYABLE (WebSocketClientEngine)
};
