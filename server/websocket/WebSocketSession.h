#pragma once

// Internal to the network side: only HttpWebSocketService.cpp and WebSocketSession.cpp include it.
#include "server/websocket/FrameWatch.h"
#include "server/websocket/WebSocketConnection.h"
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
class WebSocketSession : public WebSocketConnection,
                         public std::enable_shared_from_this<WebSocketSession>
{
public:
    using Stream = boost::beast::websocket::stream<FrameWatch<boost::beast::tcp_stream>>;
    using Request = boost::beast::http::request<boost::beast::http::string_body>;

    /** Told of the session's events on the service thread. */
    class Owner
    {
    public:
        virtual ~Owner() = default;
        virtual void sessionOpened (const std::shared_ptr<WebSocketSession>&) = 0;
        virtual void sessionMessage (const std::shared_ptr<WebSocketSession>&, const void* data, size_t numBytes, bool binary) = 0;
        virtual void sessionClosed (const std::shared_ptr<WebSocketSession>&, int status, const juce::String& reason) = 0;
        virtual void sessionFailed (const std::shared_ptr<WebSocketSession>&, const juce::String& message) = 0;
        /** The last call for a session: it has finished, opened or not. */
        virtual void sessionEnded (WebSocketSession*) = 0;
        /** From any thread: have writeQueued() called on the service thread soon. */
        virtual void scheduleWrite (std::shared_ptr<WebSocketSession> session) = 0;
    };

    struct Limits
    {
        int handshakeTimeoutMs = 5000;
        size_t maxMessageBytes = 1000000;
        size_t sendQueueLimit = 8 * 1024 * 1024;
        int incompleteFrameTimeoutMs = 1000; // a client stuck inside a frame this long is dropped
    };

    WebSocketSession (boost::beast::tcp_stream&& stream, const juce::String& id, Owner& owner, const Limits& limits);

    /** Keeps something alive for as long as the connection is open (the server's count of
        connections, for one); let go when the session ends. */
    void holdWhileOpen (std::shared_ptr<void> token) { heldWhileOpen = std::move (token); }

    /** Answers the opening handshake of the upgrade request (service thread). */
    void accept (Request request);

    /** Sends the close frame, or drops a connection whose handshake has not finished (service thread). */
    void closeForShutdown (int status, const juce::String& reason);

    const juce::String& getId() const noexcept override { return id; }
    void send (std::shared_ptr<const std::string> payload, bool binary, int replaceKey) override;
    void close (int status, const juce::String& reason) override;
    std::vector<int> getWaitingKeys() const override;

    /** Writes what is queued (service thread; see Owner::scheduleWrite). */
    void writeQueued() { writeNext(); }

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
