#pragma once

#include <juce_core/juce_core.h>
#include <memory>
#include <string>
#include <vector>

/** One open WebSocket connection as the server's owner sees it. Sends only queue the frame
    and may be called from any thread; the frames go out on the server thread in order. */
class WebSocketConnection
{
public:
    virtual ~WebSocketConnection() = default;

    /** "address:port" of the remote end, fixed for the connection's life. */
    virtual const juce::String& getId() const noexcept = 0;

    /** Frames without a replace key are never replaced. */
    static constexpr int noReplaceKey = 0;

    /** Queues one unfragmented text or binary frame. The payload may be shared with other
        connections and is not copied. A connection whose queue would grow past its limit
        is dropped instead; a frame after a close frame, or to a failed connection, is ignored.

        A frame with a replace key other than noReplaceKey stands for a state rather than an
        event: if a frame with the same key still waits unsent, the new payload takes its
        place in the queue (so its order against the other frames stays as queued), and the
        older one is never sent. */
    virtual void send (std::shared_ptr<const std::string> payload, bool binary, int replaceKey) = 0;

    /** Queues a close frame; the connection stays open until the peer answers or fails. */
    virtual void close (int status, const juce::String& reason) = 0;

    /** The replace keys of the frames that wait unsent, oldest first (noReplaceKey for the
        others); a frame being written is no longer waiting. For tests and diagnostics. */
    virtual std::vector<int> getWaitingKeys() const { return {}; }
};
