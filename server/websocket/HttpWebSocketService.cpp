#include "server/websocket/HttpWebSocketService.h"
#include "server/websocket/ConnectionBudget.h"
#include "server/websocket/BasicWebSocketSession.h"
#include <boost/beast/ssl.hpp>
#include <openssl/ssl.h>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace
{
/** What the service needs of an HTTP connection, whatever its stream. */
class HttpSessionBase
{
public:
    virtual ~HttpSessionBase() = default;
    virtual void abort() = 0;
};

juce::String makeClientId (const tcp::socket& socket)
{
    beast::error_code ec;
    const auto remote = socket.remote_endpoint (ec);
    if (ec)
        return {};
    return juce::String (remote.address().to_string()) + ":" + juce::String (remote.port());
}

juce::String toJuceString (beast::string_view text)
{
    return juce::String::fromUTF8 (text.data(), static_cast<int> (text.size()));
}

bool isValidUtf8 (beast::string_view text)
{
    // CharPointer_UTF8::isValidString stops at a zero byte, which is not valid here either.
    return std::find (text.begin(), text.end(), '\0') == text.end()
        && juce::CharPointer_UTF8::isValidString (text.data(), static_cast<int> (text.size()));
}

/** The header fields by name (compared without regard to case), repeated ones joined with
    ", " in the order they came. Each value is appended once, so the cost stays linear in
    the size of the header however often a name repeats. */
juce::StringPairArray joinHeaderFields (const http::fields& fields)
{
    std::vector<std::pair<std::string, std::string>> joined;
    std::unordered_map<std::string, size_t> indexByName;
    for (const auto& field : fields)
    {
        const auto name = field.name_string();
        std::string key (name);
        std::transform (key.begin(), key.end(), key.begin(),
                        [] (char c) { return static_cast<char> (std::tolower (static_cast<unsigned char> (c))); });
        const auto [entry, added] = indexByName.try_emplace (std::move (key), joined.size());
        if (added)
            joined.emplace_back (std::string (name), std::string (field.value()));
        else
            joined[entry->second].second.append (", ").append (field.value());
    }

    juce::StringPairArray result;
    for (const auto& [name, value] : joined)
        result.set (toJuceString (name), toJuceString (value));
    return result;
}

/** Finds the end of a request header ("\r\n\r\n") byte by byte as it arrives and counts its
    lines, so an overlong header is refused before the networking library parses and keeps
    every one of its fields. */
struct HeaderScan
{
    enum class Result
    {
        more,
        complete,
        tooManyLines
    };

    Result feed (char c, size_t maxLines)
    {
        static constexpr char terminator[] = "\r\n\r\n";
        if (c == '\n' && ++lines > maxLines)
            return Result::tooManyLines;
        if (c == terminator[matched])
            ++matched;
        else
            matched = c == '\r' ? 1 : 0;
        return matched == 4 ? Result::complete : Result::more;
    }

    size_t lines = 0;
    size_t scanned = 0; // bytes of the buffer looked at so far
    int matched = 0;    // of "\r\n\r\n"
};
}

struct HttpWebSocketService::Impl : public WebSocketSession::Owner
{
    Impl (const Settings& s, Handler& h) : settings (s), handler (h) {}

    void accept();
    void addHttpSession (const std::shared_ptr<HttpSessionBase>& session);
    void addWebSocket (const std::shared_ptr<WebSocketSession>& session);
    void beginShutdown (int status, const juce::String& reason, int flushTimeoutMs);
    /** A token that holds one connection's place while it lives; empty when there is none. */
    std::shared_ptr<void> takeConnectionPlace();

    void sessionOpened (const std::shared_ptr<WebSocketSession>& s) override
    {
        if (! shuttingDown)
            handler.onClientOpen (s);
    }

    void sessionMessage (const std::shared_ptr<WebSocketSession>& s, const void* data, size_t size, bool binary) override
    {
        if (! shuttingDown)
            handler.onClientMessage (s, data, size, binary);
    }

    void sessionClosed (const std::shared_ptr<WebSocketSession>& s, int status, const juce::String& reason) override
    {
        if (! shuttingDown)
            handler.onClientClose (s, status, reason);
    }

    void sessionFailed (const std::shared_ptr<WebSocketSession>& s, const juce::String& message) override
    {
        if (! shuttingDown)
            handler.onClientError (s, message);
    }

    void scheduleWrite (std::shared_ptr<WebSocketSession> session) override
    {
        // A broadcast wakes every connection at once: one posted call writes for all of them.
        {
            const std::lock_guard<std::mutex> lock (writeLock);
            toWrite.push_back (std::move (session));
            if (writesPosted)
                return;
            writesPosted = true;
        }
        net::post (ioContext, [this] { writeScheduled(); });
    }

    void writeScheduled()
    {
        {
            const std::lock_guard<std::mutex> lock (writeLock);
            writing.swap (toWrite);
            writesPosted = false;
        }
        for (auto& session : writing)
            session->writeQueued();
        writing.clear(); // keeps its capacity for the next round
    }

    void sessionEnded (WebSocketSession* s) override
    {
        webSockets.erase (s);
        if (shuttingDown && webSockets.empty())
            ioContext.stop();
    }

    const Settings settings;
    Handler& handler;
    std::atomic<bool> shuttingDown { false };
    // Shared with the tokens, which a connection object may hold after the service has gone.
    std::shared_ptr<std::atomic<int>> numConnections = std::make_shared<std::atomic<int>> (0);

    // Only the service thread touches these. They hold no session alive; destroying the I/O
    // context (declared after them, so destroyed first) releases every session.
    std::vector<std::weak_ptr<HttpSessionBase>> httpSessions;
    std::map<WebSocketSession*, std::weak_ptr<WebSocketSession>> webSockets;

    std::unique_ptr<net::ssl::context> tlsContext; // null for plain TCP
    net::io_context ioContext { 1 };
    tcp::acceptor acceptor { ioContext };
    net::steady_timer acceptRetry { ioContext };
    net::steady_timer flushDeadline { ioContext };

    // Declared after the I/O context, so the sessions they hold go before it.
    std::mutex writeLock;
    std::vector<std::shared_ptr<WebSocketSession>> toWrite; // guarded by writeLock
    bool writesPosted = false;                              // guarded by writeLock
    std::vector<std::shared_ptr<WebSocketSession>> writing; // service thread only
};

namespace
{
using TlsStream = beast::ssl_stream<beast::tcp_stream>;

/** One HTTP connection, plain or over TLS: reads requests one after another, answers each
    through the handler, and hands an upgrade request over to a WebSocket session on the
    same stream. */
template <class Stream>
class HttpSession : public HttpSessionBase,
                    public std::enable_shared_from_this<HttpSession<Stream>>
{
public:
    static constexpr bool isTls = std::is_same_v<Stream, TlsStream>;

    /** A session without a place only reads the first request header and answers it with 503. */
    HttpSession (Stream&& s, HttpWebSocketService::Impl& owner, std::shared_ptr<void> connectionPlace, bool hasPlace)
        : stream (std::move (s)),
          impl (owner),
          buffer (owner.settings.maxRequestBytes),
          place (std::move (connectionPlace)),
          refusing (! hasPlace)
    {
        remoteId = makeClientId (lowest().socket());
    }

    void start()
    {
        if constexpr (isTls)
        {
            // The handshake counts as part of receiving the first request.
            lowest().expires_after (std::chrono::milliseconds (impl.settings.requestTimeoutMs));
            stream.async_handshake (net::ssl::stream_base::server, [self = this->shared_from_this()] (beast::error_code ec)
            {
                if (ec)
                    return self->abort();
                self->readHeader();
            });
        }
        else
        {
            readHeader();
        }
    }

    void abort() override { lowest().close(); }

private:
    void readHeader()
    {
        headerScan = {};
        lowest().expires_after (std::chrono::milliseconds (impl.settings.requestTimeoutMs));
        scanHeader();
    }

    /** Looks at what has arrived (a pipelined request may be there already), then reads more
        until the header is complete. */
    void scanHeader()
    {
        // The request line and the empty line that ends the header count too.
        const auto maxLines = impl.settings.maxHeaderLines + 2;
        const auto* bytes = static_cast<const char*> (buffer.data().data());
        while (headerScan.scanned < buffer.size())
        {
            switch (headerScan.feed (bytes[headerScan.scanned++], maxLines))
            {
                case HeaderScan::Result::more:
                    break;
                case HeaderScan::Result::complete:
                    return parseHeader();
                case HeaderScan::Result::tooManyLines:
                    return replyAndClose ("HTTP/1.1 431 Request Header Fields Too Large\r\n"
                                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
            }
        }
        if (buffer.size() >= buffer.max_size())
            return failed (http::error::header_limit);

        const auto room = std::min<size_t> (65536, buffer.max_size() - buffer.size());
        stream.async_read_some (buffer.prepare (room), [self = this->shared_from_this()] (beast::error_code ec, size_t n)
        {
            if (ec)
                return self->failed (ec);
            self->buffer.commit (n);
            self->scanHeader();
        });
    }

    void parseHeader()
    {
        parser.emplace();
        parser->header_limit (static_cast<std::uint32_t> (impl.settings.maxRequestBytes));
        parser->body_limit (impl.settings.maxRequestBytes);
        // The request time-out covers the wait for a complete header, idle time included.
        lowest().expires_after (std::chrono::milliseconds (impl.settings.requestTimeoutMs));
        http::async_read_header (stream, buffer, *parser, [self = this->shared_from_this()] (beast::error_code ec, size_t headerBytes)
        {
            self->onHeader (ec, headerBytes);
        });
    }

    void onHeader (beast::error_code ec, size_t headerBytes)
    {
        if (ec)
            return failed (ec);

        if (refusing)
            return replyAndClose ("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");

        const auto& request = parser->get();
        if (request.find (http::field::upgrade) != request.end())
            return upgrade();

        // Header and body together stay within the limit. A declared length is checked here,
        // a chunked body as it arrives.
        const auto bodyLimit = impl.settings.maxRequestBytes - std::min (headerBytes, impl.settings.maxRequestBytes);
        if (const auto length = parser->content_length(); length.has_value() && *length > bodyLimit)
            return failed (http::error::body_limit);
        parser->body_limit (bodyLimit);
        lowest().expires_after (std::chrono::milliseconds (impl.settings.contentTimeoutMs));
        http::async_read (stream, buffer, *parser, [self = this->shared_from_this()] (beast::error_code readError, size_t)
        {
            self->onRequest (readError);
        });
    }

    void onRequest (beast::error_code ec)
    {
        if (ec)
            return failed (ec);

        const auto& source = parser->get();
        const auto target = source.target();
        if (! isValidUtf8 (target))
            return replyAndClose ("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");

        auto request = std::make_shared<HttpRequest>();
        request->method = toJuceString (source.method_string());
        const auto query = target.find ('?');
        request->path = toJuceString (target.substr (0, query));
        if (query != beast::string_view::npos)
            request->query = toJuceString (target.substr (query + 1));
        request->httpVersion = juce::String (source.version() / 10) + "." + juce::String (source.version() % 10);
        request->headers = joinHeaderFields (source.base());
        request->body.append (source.body().data(), source.body().size());
        request->remoteId = remoteId;
        closeAfterAnswer = ! source.keep_alive();

        if (impl.shuttingDown)
            return;

        auto response = std::make_shared<HttpResponse>();
        impl.handler.onHttpRequest (response, request);
        if (response->isEmpty())
        {
            // Nothing to send: wait for the next request, as after an answer.
            if (closeAfterAnswer)
                return abort();
            return readHeader();
        }
        write (std::move (response));
    }

    void write (std::shared_ptr<HttpResponse> response)
    {
        lowest().expires_after (std::chrono::milliseconds (impl.settings.contentTimeoutMs));
        net::async_write (stream, net::buffer (response->getBytes()),
                          [self = this->shared_from_this(), response] (beast::error_code ec, size_t)
        {
            if (ec)
                return self->finishWithLinger();
            if (response->getBodyLength() > 0)
                return self->sendFileBody (*response);
            self->answered();
        });
    }

    void answered()
    {
        if (closeAfterAnswer)
            return finishWithLinger();
        readHeader();
    }

    /** Sends a file body one piece at a time, so a connection holds at most one piece of it
        however large the file and however slowly the client reads. */
    void sendFileBody (const HttpResponse& response)
    {
        bodyFile = response.getBodyFile();
        bodyPosition = response.getBodyOffset();
        bodyLeft = response.getBodyLength();
        sendNextPiece();
    }

    void sendNextPiece()
    {
        if (bodyLeft == 0)
        {
            bodyPiece = {};
            return answered();
        }

        // Opened for each piece: a slow reader must not hold a descriptor of the file as well.
        juce::FileInputStream in (bodyFile);
        const auto wanted = static_cast<size_t> (std::min<juce::int64> (bodyLeft, pieceBytes));
        bodyPiece.resize (wanted);
        if (! in.openedOk() || ! in.setPosition (bodyPosition) || in.read (bodyPiece.data(), static_cast<int> (wanted)) != static_cast<int> (wanted))
            return abort(); // the file shrank or went: the promised length cannot be sent

        bodyPosition += static_cast<juce::int64> (wanted);
        bodyLeft -= static_cast<juce::int64> (wanted);
        lowest().expires_after (std::chrono::milliseconds (impl.settings.contentTimeoutMs));
        net::async_write (stream, net::buffer (bodyPiece), [self = this->shared_from_this()] (beast::error_code ec, size_t)
        {
            if (ec)
                return self->abort();
            self->sendNextPiece();
        });
    }

    void upgrade()
    {
        auto& request = parser->get();
        const auto target = request.target();
        const auto path = target.substr (0, target.find ('?'));
        if (impl.shuttingDown || ! isValidUtf8 (path) || ! impl.handler.isWebSocketPath (toJuceString (path)))
            return abort(); // no answer at all for an upgrade to another path

        WebSocketSession::Limits limits;
        limits.handshakeTimeoutMs = impl.settings.handshakeTimeoutMs;
        limits.maxMessageBytes = impl.settings.maxMessageBytes;
        limits.sendQueueLimit = impl.settings.sendQueueLimit;
        limits.incompleteFrameTimeoutMs = impl.settings.requestTimeoutMs;
        auto session = std::make_shared<BasicWebSocketSession<Stream>> (std::move (stream), remoteId, impl, limits);
        session->holdWhileOpen (std::move (place));
        impl.addWebSocket (session);
        session->accept (parser->release());
    }

    void failed (beast::error_code ec)
    {
        if (ec == http::error::header_limit || ec == http::error::body_limit || ec == http::error::buffer_overflow)
            return replyAndClose ("HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        // Time-outs, a closed connection and malformed requests end the connection silently.
        abort();
    }

    void replyAndClose (const char* answer)
    {
        closeAfterAnswer = true;
        auto response = std::make_shared<HttpResponse>();
        response->write (answer, std::strlen (answer));
        write (std::move (response));
    }

    /** Closes after an answer without cutting the client off mid-send: our side is shut
        down, and what the client still sends is read and dropped until it closes too or
        the request time-out passes. Closing at once could reset the connection before the
        client has read the answer. */
    void finishWithLinger()
    {
        beast::error_code ignored;
        lowest().socket().shutdown (tcp::socket::shutdown_send, ignored);
        drain();
    }

    void drain()
    {
        lowest().expires_after (std::chrono::milliseconds (impl.settings.requestTimeoutMs));
        stream.async_read_some (net::buffer (drainBuffer), [self = this->shared_from_this()] (beast::error_code ec, size_t)
        {
            if (ec)
                return self->abort();
            self->drain();
        });
    }

    beast::tcp_stream& lowest() { return beast::get_lowest_layer (stream); }

    Stream stream;
    HttpWebSocketService::Impl& impl;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    HeaderScan headerScan;
    juce::String remoteId;
    std::shared_ptr<void> place;
    const bool refusing;
    bool closeAfterAnswer = false;
    char drainBuffer[4096];

    static constexpr juce::int64 pieceBytes = 64 * 1024;
    juce::File bodyFile;
    juce::int64 bodyPosition = 0, bodyLeft = 0;
    std::vector<char> bodyPiece;
};
}

void HttpWebSocketService::Impl::accept()
{
    acceptor.async_accept ([this] (beast::error_code ec, tcp::socket socket)
    {
        if (! acceptor.is_open() || shuttingDown)
            return;

        if (ec)
        {
            // Out of descriptors or similar: try again shortly rather than spin.
            acceptRetry.expires_after (std::chrono::milliseconds (100));
            acceptRetry.async_wait ([this] (beast::error_code waitError)
            {
                if (! waitError)
                    accept();
            });
            return;
        }

        beast::error_code ignored;
        socket.set_option (tcp::no_delay (true), ignored); // small frames go out at once

        auto place = takeConnectionPlace();
        const bool hasPlace = place != nullptr;
        if (! hasPlace)
        {
            // Told why, if only a few are being told already; otherwise closed at once, so
            // a flood of connections cannot take the descriptors the refusals would need.
            if (! ConnectionBudget::tryTakeRefusal())
            {
                socket.close (ignored);
                return accept();
            }
            place = std::shared_ptr<void> (this, [] (void*) { ConnectionBudget::giveBackRefusal(); });
        }

        if (tlsContext != nullptr)
        {
            auto session = std::make_shared<HttpSession<TlsStream>> (TlsStream (beast::tcp_stream (std::move (socket)), *tlsContext),
                                                                     *this, std::move (place), hasPlace);
            addHttpSession (session);
            session->start();
        }
        else
        {
            auto session = std::make_shared<HttpSession<beast::tcp_stream>> (beast::tcp_stream (std::move (socket)),
                                                                             *this, std::move (place), hasPlace);
            addHttpSession (session);
            session->start();
        }
        accept();
    });
}

std::shared_ptr<void> HttpWebSocketService::Impl::takeConnectionPlace()
{
    auto count = numConnections;
    if (count->load() >= settings.maxConnections || ! ConnectionBudget::tryTake())
        return {};
    ++*count;
    return std::shared_ptr<void> (count.get(), [count] (void*)
    {
        --*count;
        ConnectionBudget::giveBack();
    });
}

void HttpWebSocketService::Impl::addHttpSession (const std::shared_ptr<HttpSessionBase>& session)
{
    httpSessions.erase (std::remove_if (httpSessions.begin(), httpSessions.end(),
                                        [] (const auto& s) { return s.expired(); }),
                        httpSessions.end());
    httpSessions.push_back (session);
}

void HttpWebSocketService::Impl::addWebSocket (const std::shared_ptr<WebSocketSession>& session)
{
    webSockets[session.get()] = session;
}

void HttpWebSocketService::Impl::beginShutdown (int status, const juce::String& reason, int flushTimeoutMs)
{
    beast::error_code ignored;
    acceptor.close (ignored);
    acceptRetry.cancel();

    for (auto& weak : httpSessions)
        if (auto session = weak.lock())
            session->abort();
    httpSessions.clear();

    // Copy first: a session may end, and leave the map, while it is being closed.
    std::vector<std::shared_ptr<WebSocketSession>> open;
    for (auto& entry : webSockets)
        if (auto session = entry.second.lock())
            open.push_back (session);
    for (auto& session : open)
        session->closeForShutdown (status, reason);

    if (webSockets.empty())
    {
        ioContext.stop();
        return;
    }
    // Clients that do not answer the close frame (or do not read at all) get at most this long.
    flushDeadline.expires_after (std::chrono::milliseconds (flushTimeoutMs));
    flushDeadline.async_wait ([this] (beast::error_code ec)
    {
        if (! ec)
            ioContext.stop();
    });
}

//==============================================================================
HttpWebSocketService::HttpWebSocketService (const Settings& settings, Handler& handler)
    : impl (std::make_unique<Impl> (settings, handler))
{
}

HttpWebSocketService::~HttpWebSocketService() = default;

int HttpWebSocketService::listen()
{
    const auto fail = [] (const char* step, const beast::error_code& ec)
    {
        throw std::runtime_error (std::string (step) + ": " + ec.message());
    };

    beast::error_code ec;
    const auto& settings = impl->settings;
    if (settings.certificateFile.isNotEmpty())
    {
        namespace ssl = net::ssl;
        auto context = std::make_unique<ssl::context> (ssl::context::tlsv12_server);
        context->set_options (ssl::context::default_workarounds | ssl::context::no_sslv2 | ssl::context::no_sslv3
                                  | ssl::context::no_tlsv1 | ssl::context::no_tlsv1_1 | ssl::context::no_tlsv1_3
                                  | ssl::context::no_compression | ssl::context::single_dh_use);
        SSL_CTX_set_min_proto_version (context->native_handle(), TLS1_2_VERSION);
        SSL_CTX_set_max_proto_version (context->native_handle(), TLS1_2_VERSION);
        context->use_certificate_chain_file (settings.certificateFile.toStdString(), ec);
        if (ec)
            fail ("certificate", ec);
        context->use_private_key_file (settings.privateKeyFile.toStdString(), ssl::context::pem, ec);
        if (ec)
            fail ("private key", ec);
        if (settings.verifyFile.isNotEmpty())
        {
            context->load_verify_file (settings.verifyFile.toStdString(), ec);
            if (ec)
                fail ("verify file", ec);
            // Asked for in the first handshake only, not again when a connection renegotiates.
            context->set_verify_mode (ssl::verify_peer | ssl::verify_fail_if_no_peer_cert | ssl::verify_client_once);
        }
        impl->tlsContext = std::move (context);
    }

    net::ip::address address = net::ip::address_v4::any();
    if (impl->settings.bindAddress.isNotEmpty())
    {
        address = net::ip::make_address (impl->settings.bindAddress.toStdString(), ec);
        if (ec)
            fail ("address", ec);
    }
    const tcp::endpoint endpoint (address, static_cast<unsigned short> (impl->settings.port & 0xffff));

    auto& acceptor = impl->acceptor;
    acceptor.open (endpoint.protocol(), ec);
    if (ec)
        fail ("open", ec);
    acceptor.set_option (net::socket_base::reuse_address (impl->settings.reuseAddress), ec);
    if (ec)
        fail ("set_option", ec);
    acceptor.bind (endpoint, ec);
    if (ec)
        fail ("bind", ec);
    acceptor.listen (net::socket_base::max_listen_connections, ec);
    if (ec)
        fail ("listen", ec);

    return acceptor.local_endpoint().port();
}

void HttpWebSocketService::run()
{
    impl->accept();
    impl->ioContext.run();
}

void HttpWebSocketService::shutdown (int status, const juce::String& reason, int flushTimeoutMs)
{
    if (impl->shuttingDown.exchange (true))
        return;
    net::post (impl->ioContext, [owner = impl.get(), status, reason, flushTimeoutMs]
    {
        owner->beginShutdown (status, reason, flushTimeoutMs);
    });
}
