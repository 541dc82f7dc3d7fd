#pragma once

// Internal to the network side: only the WebSocket session and its tests include it.
#include <boost/asio/compose.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket/teardown.hpp>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <type_traits>

/** Follows the frame boundaries of the bytes a WebSocket client sends, from their headers
    alone, so the server can tell a client that stopped in the middle of a frame from one
    that is merely quiet. */
class FrameBoundary
{
public:
    void feed (const std::uint8_t* data, std::size_t numBytes)
    {
        while (numBytes > 0)
        {
            if (payloadLeft > 0)
            {
                const auto take = static_cast<std::size_t> (std::min<std::uint64_t> (payloadLeft, numBytes));
                payloadLeft -= take;
                data += take;
                numBytes -= take;
                continue;
            }

            if (headerLength == 0)
                ++framesStarted;
            header[headerLength++] = *data++;
            --numBytes;
            if (headerLength < 2)
                continue;

            const unsigned shortLength = header[1] & 0x7fu;
            const std::size_t lengthBytes = shortLength == 126 ? 2 : (shortLength == 127 ? 8 : 0);
            const std::size_t needed = 2 + lengthBytes + ((header[1] & 0x80u) != 0 ? 4 : 0);
            if (headerLength < needed)
                continue;

            std::uint64_t length = shortLength;
            if (lengthBytes > 0)
            {
                length = 0;
                for (std::size_t i = 0; i < lengthBytes; ++i)
                    length = (length << 8) | header[2 + i];
            }
            payloadLeft = length;
            headerLength = 0;
        }
    }

    bool isInsideFrame() const noexcept { return headerLength > 0 || payloadLeft > 0; }
    std::uint64_t getFramesStarted() const noexcept { return framesStarted; }

private:
    std::array<std::uint8_t, 14> header {};
    std::size_t headerLength = 0;
    std::uint64_t payloadLeft = 0;
    std::uint64_t framesStarted = 0;
};

/** A stream layer under the WebSocket stream that watches what is read through it: it knows
    whether the client is in the middle of a frame and since when, and calls onFrameStarted
    when a frame begins that the bytes read so far do not complete. Generic over the layer
    below, so an encrypted stream can sit there too (the watch belongs above the decryption).

    It also lets the session write frames it encoded itself, many in one gathered write,
    beside the WebSocket stream's own writes (the pong to a ping, the answer to a close):
    the two never interleave. A write of the stream's own waits while one of ours is under
    way, and ours begins only when the stream is not in the middle of one. */
template <class NextLayer>
class FrameWatch
{
public:
    using executor_type = typename NextLayer::executor_type;
    using Clock = std::chrono::steady_clock;

    template <class... Args>
    explicit FrameWatch (Args&&... args) : next (std::forward<Args> (args)...) {}

    executor_type get_executor() noexcept { return next.get_executor(); }
    NextLayer& next_layer() noexcept { return next; }
    const NextLayer& next_layer() const noexcept { return next; }

    bool isInsideFrame() const noexcept { return boundary.isInsideFrame(); }
    Clock::time_point getFrameStart() const noexcept { return frameStart; }

    /** Called on the reading thread when a frame begins and is not complete yet. */
    std::function<void()> onFrameStarted;

    template <class Buffers, class Token>
    auto async_read_some (const Buffers& buffers, Token&& token)
    {
        return boost::asio::async_compose<Token, void (boost::beast::error_code, std::size_t)> (
            ReadOp<Buffers> { *this, buffers, false }, token, next);
    }

    template <class Buffers, class Token>
    auto async_write_some (const Buffers& buffers, Token&& token)
    {
        return boost::asio::async_compose<Token, void (boost::beast::error_code, std::size_t)> (
            LibraryWriteOp<Buffers> { *this, buffers, Stage::begin }, token, next);
    }

    /** True while the WebSocket stream has written part of a frame of its own, or waits to
        write one; writeOwn must wait until onLibraryWriteDone says it has finished, so a
        pong is not held back for as long as frames of ours keep coming. */
    bool isLibraryMidWrite() const noexcept { return libraryMidWrite || libraryWaiting; }

    /** Called on the I/O thread whenever a write of the WebSocket stream's own has finished. */
    std::function<void()> onLibraryWriteDone;

    /** True when writeNow can write straight to the socket (plain TCP); an encrypted
        layer has to go through writeOwn. */
    static constexpr bool canWriteNow = std::is_same_v<NextLayer, boost::beast::tcp_stream>;

    /** Writes what the socket takes at once, without waiting (one system call); returns the
        number of bytes written. A full socket is not an error. Only while isLibraryMidWrite()
        is false and no writeOwn is under way. */
    template <class Buffers>
    std::size_t writeNow (const Buffers& buffers, boost::beast::error_code& ec)
    {
        static_assert (canWriteNow);
        auto& socket = next.socket();
        if (! socket.non_blocking())
        {
            socket.non_blocking (true, ec);
            if (ec)
                return 0;
        }
        const auto written = socket.write_some (buffers, ec);
        if (ec == boost::asio::error::would_block || ec == boost::asio::error::try_again)
            ec = {};
        return written;
    }

    /** Writes all of the buffers to the layer below, as one gathered write where it can.
        Only one at a time, and only while isLibraryMidWrite() is false. The buffers must
        stay valid until the handler is called. */
    template <class Buffers, class Handler>
    void writeOwn (const Buffers& buffers, Handler&& handler)
    {
        ownWriting = true;
        boost::asio::async_write (next, buffers, [this, done = std::forward<Handler> (handler)] (boost::beast::error_code ec, std::size_t numBytes) mutable
        {
            ownWriting = false;
            gate.cancel(); // wakes a write of the stream's own that waited for this one
            done (ec, numBytes);
        });
    }

private:
    enum class Stage
    {
        begin,
        waiting,
        writing
    };

    template <class Buffers>
    struct LibraryWriteOp
    {
        FrameWatch& owner;
        Buffers buffers;
        Stage stage;

        template <class Self>
        void operator() (Self& self, boost::beast::error_code ec = {}, std::size_t numBytes = 0)
        {
            if (stage != Stage::writing)
            {
                owner.libraryWaiting = owner.ownWriting;
                if (owner.ownWriting)
                {
                    stage = Stage::waiting;
                    owner.gate.expires_at (Clock::time_point::max());
                    owner.gate.async_wait (std::move (self));
                    return;
                }
                stage = Stage::writing;
                owner.next.async_write_some (buffers, std::move (self));
                return;
            }
            // A short write means the stream comes back at once with the rest of its frame.
            owner.libraryMidWrite = ! ec && numBytes < boost::asio::buffer_size (buffers);
            if (! owner.libraryMidWrite && owner.onLibraryWriteDone)
                owner.onLibraryWriteDone();
            self.complete (ec, numBytes);
        }
    };

    template <class Buffers>
    struct ReadOp
    {
        FrameWatch& owner;
        Buffers buffers;
        bool started;

        template <class Self>
        void operator() (Self& self, boost::beast::error_code ec = {}, std::size_t numBytes = 0)
        {
            if (! started)
            {
                started = true;
                owner.next.async_read_some (buffers, std::move (self));
                return;
            }
            owner.watch (buffers, numBytes);
            self.complete (ec, numBytes);
        }
    };

    template <class Buffers>
    void watch (const Buffers& buffers, std::size_t numBytes)
    {
        const auto framesBefore = boundary.getFramesStarted();
        for (auto i = boost::asio::buffer_sequence_begin (buffers);
             numBytes > 0 && i != boost::asio::buffer_sequence_end (buffers); ++i)
        {
            const boost::asio::mutable_buffer buffer (*i);
            const auto take = std::min (numBytes, buffer.size());
            boundary.feed (static_cast<const std::uint8_t*> (buffer.data()), take);
            numBytes -= take;
        }
        if (boundary.isInsideFrame() && boundary.getFramesStarted() != framesBefore)
        {
            frameStart = Clock::now();
            if (onFrameStarted)
                onFrameStarted();
        }
    }

    NextLayer next;
    FrameBoundary boundary;
    Clock::time_point frameStart;
    boost::asio::steady_timer gate { next.get_executor() };
    bool ownWriting = false;
    bool libraryMidWrite = false;
    bool libraryWaiting = false;
};

// The WebSocket stream closes its connection through the layer below.
template <class NextLayer>
void teardown (boost::beast::role_type role, FrameWatch<NextLayer>& stream, boost::beast::error_code& ec)
{
    using boost::beast::websocket::teardown;
    teardown (role, stream.next_layer(), ec);
}

template <class NextLayer, class Handler>
void async_teardown (boost::beast::role_type role, FrameWatch<NextLayer>& stream, Handler&& handler)
{
    using boost::beast::websocket::async_teardown;
    async_teardown (role, stream.next_layer(), std::forward<Handler> (handler));
}
