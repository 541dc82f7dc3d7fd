#pragma once

// Internal to the network side: only HttpWebSocketService.cpp and BasicWebSocketSession.cpp include it.
#include "server/websocket/FrameWatch.h"
#include "server/websocket/WebSocketSession.h"
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

/** One WebSocket connection on the service's I/O context. Reads run on the service thread;
    sends may come from any thread and are queued under the session's own lock, then written
    on the service thread: every frame waiting at that moment goes out in one gathered write,
    its payload shared with the other connections, only its few header bytes its own. */
template <class NextLayer>
class BasicWebSocketSession : public WebSocketSession,
                              public std::enable_shared_from_this<BasicWebSocketSession<NextLayer>>
{
public:
    using Stream = boost::beast::websocket::stream<FrameWatch<NextLayer>>;
    using Request = boost::beast::http::request<boost::beast::http::string_body>;

    /** NextLayer is the stream the HTTP side read the upgrade request from: plain TCP or TLS. */
    BasicWebSocketSession (NextLayer&& stream, const juce::String& id, Owner& owner, const Limits& limits);

    void holdWhileOpen (std::shared_ptr<void> token) override { heldWhileOpen = std::move (token); }

    /** Answers the opening handshake of the upgrade request (service thread). */
    void accept (Request request);

    void closeForShutdown (int status, const juce::String& reason) override;

    const juce::String& getId() const noexcept override { return id; }
    void send (std::shared_ptr<const std::string> payload, bool binary, int replaceKey) override;
    void close (int status, const juce::String& reason) override;
    std::vector<int> getWaitingKeys() const override;

    void writeQueued() override { writeNext(); }

private:
    struct Outgoing
    {
        std::shared_ptr<const std::string> payload;
        std::array<std::uint8_t, 10> header {};
        std::uint8_t headerSize = 0;
        bool isClose = false;
        int replaceKey = noReplaceKey;
        std::uint64_t sequence = 0; // position among every frame ever queued here
    };

    static void encodeHeader (Outgoing& item, bool binary);

    void onAccepted (boost::beast::error_code ec);
    void readNext();
    void onRead (boost::beast::error_code ec);
    void finish (boost::beast::error_code ec);
    void queue (Outgoing item, size_t numBytes, const boost::beast::websocket::close_reason* why = nullptr);
    /** Puts the payload in place of a waiting frame with the same key; false when there is none. */
    bool replaceWaiting (int replaceKey, std::shared_ptr<const std::string>& payload, bool binary);
    void writeNext();
    void onWritten (boost::beast::error_code ec);
    /** Takes the frames that were being written off the queue. */
    void framesWritten();
    /** Drops what a short write has written from the front of the gathered buffers. */
    void skipWritten (size_t numBytes);
    void onCloseDone (boost::beast::error_code ec);
    void abort();
    /** Drops every frame that waits unsent; the frames being written stay until they are. */
    void dropWaiting();
    void watchFrame();
    void onFrameDeadline (boost::beast::error_code ec);

    Stream ws;
    boost::asio::any_io_executor executor;
    const juce::String id;
    Owner& owner;
    const Limits limits;
    Request upgradeRequest;
    boost::beast::flat_buffer readBuffer;
    boost::asio::steady_timer frameDeadline;
    bool frameDeadlineArmed = false; // service thread only
    std::shared_ptr<void> heldWhileOpen;
    bool opened = false;         // service thread only
    bool closeStarted = false;   // service thread only: our close frame is under way
    bool ended = false;          // service thread only: the owner has heard the end

    std::vector<boost::asio::const_buffer> gathered;    // service thread only: the write under way
    bool waitingForLibrary = false;                    // service thread only

    mutable std::mutex queueLock;
    boost::beast::websocket::close_reason closeReason; // of the queued close frame
    std::deque<Outgoing> outgoing;
    size_t inFlight = 0;            // frames at the front that are being written
    std::uint64_t sequenceOfFront = 0;
    std::uint64_t nextSequence = 0;
    std::vector<std::pair<int, std::uint64_t>> lastOfKey; // the newest frame of each replace key
    size_t queuedBytes = 0;
    bool writing = false;      // a write is scheduled or under way
    bool closeQueued = false;  // nothing may follow a close frame
    bool finished = false;     // failed, dropped or ended: sends are ignored
    juce::String failure;      // why the session dropped itself, reported instead of the socket's error
};
