#include "server/websocket/BasicWebSocketSession.h"
#include <boost/beast/ssl.hpp>
#include <algorithm>
#include <chrono>

namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;

namespace
{
// A close frame carries at most 125 bytes: two for the status, the rest for the reason.
std::string clampCloseReason (const juce::String& reason)
{
    auto text = reason.toStdString();
    if (text.size() <= 123)
        return text;
    size_t end = 123;
    while (end > 0 && (static_cast<unsigned char> (text[end]) & 0xc0) == 0x80)
        --end; // never cut a UTF-8 sequence in two
    return text.substr (0, end);
}

bool isSendableStatus (int status)
{
    return (status >= 1000 && status <= 1003) || (status >= 1007 && status <= 1014) || (status >= 3000 && status <= 4999);
}
}

template <class NextLayer>
BasicWebSocketSession<NextLayer>::BasicWebSocketSession (NextLayer&& stream, const juce::String& clientId, Owner& sessionOwner, const Limits& sessionLimits)
    : ws (std::move (stream)),
      executor (ws.get_executor()),
      id (clientId),
      owner (sessionOwner),
      limits (sessionLimits),
      frameDeadline (executor)
{
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::accept (Request request)
{
    upgradeRequest = std::move (request);

    // The HTTP side's time-outs end here; the WebSocket has its own handshake limit and no idle limit.
    beast::get_lowest_layer (ws).expires_never();
    websocket::stream_base::timeout timeouts;
    timeouts.handshake_timeout = std::chrono::milliseconds (limits.handshakeTimeoutMs);
    timeouts.idle_timeout = websocket::stream_base::none();
    timeouts.keep_alive_pings = false;
    ws.set_option (timeouts);
    ws.set_option (websocket::stream_base::decorator ([] (websocket::response_type& response)
    {
        response.set (beast::http::field::server, "Vantrel");
    }));
    ws.read_message_max (limits.maxMessageBytes);
    // Data frames are written by this session itself, beside the stream's control frames.
    ws.next_layer().onLibraryWriteDone = [this]
    {
        if (! waitingForLibrary)
            return;
        waitingForLibrary = false;
        net::post (executor, [self = this->shared_from_this()] { self->writeNext(); });
    };

    ws.async_accept (upgradeRequest, [self = this->shared_from_this()] (beast::error_code ec)
    {
        self->onAccepted (ec);
    });
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::onAccepted (beast::error_code ec)
{
    upgradeRequest = {};
    if (ec)
    {
        {
            const std::lock_guard<std::mutex> lock (queueLock);
            finished = true;
            dropWaiting();
        }
        ended = true;
        heldWhileOpen.reset();
        owner.sessionFailed (this->shared_from_this(), ec.message());
        owner.sessionEnded (this);
        return;
    }

    opened = true;
    // A client that only listens sends nothing and is never timed; one that begins a frame
    // must finish it within the limit, or it would hold its connection for good.
    ws.next_layer().onFrameStarted = [this] { watchFrame(); };
    owner.sessionOpened (this->shared_from_this());
    readNext();
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::readNext()
{
    ws.async_read (readBuffer, [self = this->shared_from_this()] (beast::error_code ec, size_t)
    {
        self->onRead (ec);
    });
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::onRead (beast::error_code ec)
{
    if (ec)
    {
        // While our close frame is under way the close operation reads the answer itself and
        // the pending read is aborted; the close's own completion reports the end.
        if (! (closeStarted && ec == net::error::operation_aborted))
            finish (ec);
        return;
    }

    const auto data = readBuffer.data();
    owner.sessionMessage (this->shared_from_this(), data.data(), data.size(), ! ws.got_text());
    readBuffer.consume (readBuffer.size());
    readNext();
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::finish (beast::error_code ec)
{
    if (ended)
        return;
    ended = true;
    frameDeadline.cancel();
    // The descriptor goes now, not when the last reference to the session does.
    beast::get_lowest_layer (ws).close();
    heldWhileOpen.reset();

    juce::String droppedBecause;
    {
        const std::lock_guard<std::mutex> lock (queueLock);
        finished = true;
        dropWaiting();
        droppedBecause = failure;
    }

    if (ec == websocket::error::closed && droppedBecause.isEmpty())
    {
        const auto& reason = ws.reason();
        owner.sessionClosed (this->shared_from_this(), static_cast<int> (reason.code),
                             juce::String::fromUTF8 (reason.reason.data(), static_cast<int> (reason.reason.size())));
    }
    else
    {
        owner.sessionFailed (this->shared_from_this(), droppedBecause.isNotEmpty() ? droppedBecause : juce::String (ec.message()));
    }
    owner.sessionEnded (this);
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::encodeHeader (Outgoing& item, bool binary)
{
    // A server frame: final, unmasked, the length in the shortest form.
    const auto size = item.payload->size();
    auto& h = item.header;
    h[0] = binary ? 0x82 : 0x81;
    if (size < 126)
    {
        h[1] = static_cast<std::uint8_t> (size);
        item.headerSize = 2;
    }
    else if (size <= 0xffff)
    {
        h[1] = 126;
        h[2] = static_cast<std::uint8_t> (size >> 8);
        h[3] = static_cast<std::uint8_t> (size);
        item.headerSize = 4;
    }
    else
    {
        h[1] = 127;
        for (int i = 0; i < 8; ++i)
            h[static_cast<size_t> (2 + i)] = static_cast<std::uint8_t> (static_cast<std::uint64_t> (size) >> (8 * (7 - i)));
        item.headerSize = 10;
    }
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::send (std::shared_ptr<const std::string> payload, bool binary, int replaceKey)
{
    if (payload == nullptr)
        return;
    if (replaceKey != noReplaceKey && replaceWaiting (replaceKey, payload, binary))
        return;

    const auto size = payload->size();
    Outgoing item;
    item.payload = std::move (payload);
    item.replaceKey = replaceKey;
    encodeHeader (item, binary);
    queue (std::move (item), size);
}

template <class NextLayer>
bool BasicWebSocketSession<NextLayer>::replaceWaiting (int replaceKey, std::shared_ptr<const std::string>& payload, bool binary)
{
    const std::lock_guard<std::mutex> lock (queueLock);
    if (finished || closeQueued)
        return true; // ignored, as any send now

    for (const auto& [key, sequence] : lastOfKey)
    {
        if (key != replaceKey)
            continue;
        if (sequence < sequenceOfFront + inFlight)
            return false; // written already, or being written
        auto& waiting = outgoing[static_cast<size_t> (sequence - sequenceOfFront)];
        queuedBytes = queuedBytes - waiting.payload->size() + payload->size();
        waiting.payload = std::move (payload);
        encodeHeader (waiting, binary);
        return true; // a write is scheduled already: the frame was waiting
    }
    return false;
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::close (int status, const juce::String& reason)
{
    jassert (isSendableStatus (status));
    websocket::close_reason why;
    why.code = static_cast<websocket::close_code> (isSendableStatus (status) ? status : 1000);
    why.reason = clampCloseReason (reason);
    Outgoing item;
    item.isClose = true;
    queue (std::move (item), 0, &why);
}

template <class NextLayer>
std::vector<int> BasicWebSocketSession<NextLayer>::getWaitingKeys() const
{
    const std::lock_guard<std::mutex> lock (queueLock);
    std::vector<int> keys;
    for (size_t i = inFlight; i < outgoing.size(); ++i)
        if (! outgoing[i].isClose)
            keys.push_back (outgoing[i].replaceKey);
    return keys;
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::dropWaiting()
{
    // Called with queueLock held. The frames being written are read by the socket until
    // their write completes, so they stay.
    while (outgoing.size() > inFlight)
    {
        queuedBytes -= outgoing.back().isClose ? 0 : outgoing.back().payload->size();
        outgoing.pop_back();
    }
    nextSequence = sequenceOfFront + outgoing.size();
    lastOfKey.clear();
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::queue (Outgoing item, size_t numBytes, const websocket::close_reason* why)
{
    bool overflow = false;
    {
        const std::lock_guard<std::mutex> lock (queueLock);
        if (finished || closeQueued)
            return;

        // The frame at the front, being written or next to be, does not count: a message larger
        // than the limit (a long show's cue list) and what follows it still reach a client that
        // keeps up, while one that stops reading is dropped once the frames behind it pile up.
        const auto frontBytes = outgoing.empty() || outgoing.front().isClose ? size_t { 0 } : outgoing.front().payload->size();
        if (! outgoing.empty() && queuedBytes - frontBytes + numBytes > limits.sendQueueLimit)
        {
            // A client that stops reading must not make the server hold ever more data for it.
            failure = "Send queue overflow: the client does not read";
            overflow = true;
            finished = true;
            dropWaiting();
        }
        else
        {
            closeQueued = item.isClose;
            if (why != nullptr)
                closeReason = *why; // read on the service thread once the close frame's turn comes
            item.sequence = nextSequence++;
            if (item.replaceKey != noReplaceKey)
            {
                auto known = std::find_if (lastOfKey.begin(), lastOfKey.end(), [&] (const auto& k) { return k.first == item.replaceKey; });
                if (known == lastOfKey.end())
                    lastOfKey.emplace_back (item.replaceKey, item.sequence);
                else
                    known->second = item.sequence;
            }
            outgoing.push_back (std::move (item));
            queuedBytes += numBytes;
            if (writing)
                return;
            writing = true;
        }
    }

    if (overflow)
    {
        abort();
        return;
    }
    owner.scheduleWrite (this->shared_from_this());
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::writeNext()
{
    {
        bool closeNow = false;
        {
            const std::lock_guard<std::mutex> lock (queueLock);
            if (inFlight > 0)
                return; // the write under way continues with the rest when it completes
            if (outgoing.empty() || finished || ! ws.is_open())
            {
                writing = false;
                return;
            }
            if (ws.next_layer().isLibraryMidWrite())
            {
                // The stream is in the middle of a pong or close answer: go on when it is done.
                waitingForLibrary = true;
                return;
            }

            if (outgoing.front().isClose)
            {
                closeNow = true;
                inFlight = 1;
            }
            else
            {
                // Everything waiting now, up to a close frame, goes out in one write.
                gathered.clear();
                constexpr size_t maxFramesPerWrite = 256;
                for (const auto& item : outgoing)
                {
                    if (item.isClose || inFlight == maxFramesPerWrite)
                        break;
                    gathered.emplace_back (item.header.data(), item.headerSize);
                    if (! item.payload->empty())
                        gathered.emplace_back (item.payload->data(), item.payload->size());
                    ++inFlight;
                }
            }
        }

        if (closeNow)
        {
            closeStarted = true;
            ws.async_close (closeReason, [self = this->shared_from_this()] (beast::error_code ec)
            {
                self->onCloseDone (ec);
            });
            return;
        }

        if constexpr (FrameWatch<NextLayer>::canWriteNow)
        {
            // A client that keeps up takes the frames at once: no operation to wait on.
            beast::error_code ec;
            const auto written = ws.next_layer().writeNow (gathered, ec);
            if (ec)
                return onWritten (ec);
            if (written == net::buffer_size (gathered))
            {
                framesWritten();
                {
                    const std::lock_guard<std::mutex> lock (queueLock);
                    if (outgoing.empty())
                    {
                        writing = false;
                        return;
                    }
                }
                // Queued meanwhile: its turn comes after the other connections' of this round.
                owner.scheduleWrite (this->shared_from_this());
                return;
            }
            skipWritten (written);
        }

        ws.next_layer().writeOwn (gathered, [self = this->shared_from_this()] (beast::error_code ec, size_t)
        {
            self->onWritten (ec);
        });
        return;
    }
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::skipWritten (size_t numBytes)
{
    auto first = gathered.begin();
    while (first != gathered.end() && numBytes >= first->size())
        numBytes -= (first++)->size();
    if (first != gathered.end())
        *first += numBytes;
    gathered.erase (gathered.begin(), first);
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::framesWritten()
{
    const std::lock_guard<std::mutex> lock (queueLock);
    for (; inFlight > 0 && ! outgoing.empty(); --inFlight)
    {
        queuedBytes -= outgoing.front().payload->size();
        outgoing.pop_front();
        ++sequenceOfFront;
    }
    inFlight = 0;
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::onWritten (beast::error_code ec)
{
    framesWritten();
    gathered.clear();
    if (ec)
    {
        {
            // The read side reports the failure; nothing more can be written.
            const std::lock_guard<std::mutex> lock (queueLock);
            finished = true;
            dropWaiting();
            writing = false;
        }
        beast::get_lowest_layer (ws).close();
        return;
    }
    writeNext();
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::onCloseDone (beast::error_code ec)
{
    {
        const std::lock_guard<std::mutex> lock (queueLock);
        inFlight = 0;
        outgoing.clear();
        sequenceOfFront = nextSequence;
        lastOfKey.clear();
        queuedBytes = 0;
        writing = false;
    }
    // Done means the peer answered with its close frame (its status is in ws.reason()).
    finish (ec ? ec : beast::error_code (websocket::error::closed));
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::closeForShutdown (int status, const juce::String& reason)
{
    if (opened)
        close (status, reason);
    else
        beast::get_lowest_layer (ws).close();
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::watchFrame()
{
    if (frameDeadlineArmed || ended)
        return;
    frameDeadlineArmed = true;
    frameDeadline.expires_at (ws.next_layer().getFrameStart() + std::chrono::milliseconds (limits.incompleteFrameTimeoutMs));
    frameDeadline.async_wait ([weak = this->weak_from_this()] (beast::error_code ec)
    {
        if (auto self = weak.lock())
            self->onFrameDeadline (ec);
    });
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::onFrameDeadline (beast::error_code ec)
{
    frameDeadlineArmed = false;
    if (ec || ended)
        return;

    const auto& watch = ws.next_layer();
    if (! watch.isInsideFrame())
        return; // finished in time; the next frame arms the deadline again

    if (std::chrono::steady_clock::now() < watch.getFrameStart() + std::chrono::milliseconds (limits.incompleteFrameTimeoutMs))
        return watchFrame(); // a later frame, begun after the one this deadline was for

    {
        const std::lock_guard<std::mutex> lock (queueLock);
        failure = "Incomplete frame time-out";
    }
    beast::get_lowest_layer (ws).close(); // the pending read fails and reports the failure
}

template <class NextLayer>
void BasicWebSocketSession<NextLayer>::abort()
{
    net::post (executor, [self = this->shared_from_this()] { beast::get_lowest_layer (self->ws).close(); });
}

// The two streams a session runs on.
template class BasicWebSocketSession<beast::tcp_stream>;
template class BasicWebSocketSession<beast::ssl_stream<beast::tcp_stream>>;
