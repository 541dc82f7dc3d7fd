#pragma once

#include <juce_core/juce_core.h>
#include <memory>
#include <string>

/** One open WebSocket connection as the server's owner sees it. Sends only queue the frame
    and may be called from any thread; the frames go out on the server thread in order. */
class WebSocketConnection
{
public:
    virtual ~WebSocketConnection() = default;

    /** "address:port" of the remote end, fixed for the connection's life. */
    virtual const juce::String& getId() const noexcept = 0;

    /** Queues one unfragmented text or binary frame. The payload may be shared with other
        connections and is not copied. A connection whose queue would grow past its limit
        is dropped instead; a frame after a close frame, or to a failed connection, is ignored. */
    virtual void send (std::shared_ptr<const std::string> payload, bool binary) = 0;

    /** Queues a close frame; the connection stays open until the peer answers or fails. */
    virtual void close (int status, const juce::String& reason) = 0;
};
