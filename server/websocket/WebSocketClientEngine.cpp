#include "server/websocket/WebSocketClientEngine.h"
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <openssl/ssl.h>
#include <deque>

namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
namespace ssl = net::ssl;
using tcp = net::ip::tcp;

struct WebSocketClientEngine::Impl
{
    Impl (bool tls, Events e) : useTls (tls), events (std::move (e)) {}

    const bool useTls;
    const Events events;
    std::unique_ptr<ssl::context> tlsContext; // outlives the sessions, which the context below holds
    net::io_context ioContext { 1 };
};

namespace
{
using TlsStream = beast::ssl_stream<beast::tcp_stream>;

juce::String toJuceString (beast::string_view text)
{
    return juce::String::fromUTF8 (text.data(), static_cast<int> (text.size()));
}

struct Target
{
    std::string host, port, path;
};

/** "host", optional ":port", optional path. */
Target parseUrl (const juce::String& url, int defaultPort)
{
    const auto slash = url.indexOfChar ('/');
    const auto authority = slash >= 0 ? url.substring (0, slash) : url;
    Target target;
    target.path = slash >= 0 ? url.substring (slash).toStdString() : "/";
    const auto colon = authority.lastIndexOfChar (':');
    target.host = (colon >= 0 ? authority.substring (0, colon) : authority).toStdString();
    target.port = colon >= 0 ? authority.substring (colon + 1).toStdString() : std::to_string (defaultPort);
    return target;
}

/** One client connection over a plain or TLS stream: the same steps for both, the TLS
    handshake added in between. */
template <class NextLayer>
class ClientSession : public WebSocketClientEngine::Connection,
                      public std::enable_shared_from_this<ClientSession<NextLayer>>
{
public:
    static constexpr bool isTls = std::is_same_v<NextLayer, TlsStream>;

    template <class... Args>
    ClientSession (WebSocketClientEngine::Impl& owner, Args&&... args)
        : impl (owner), resolver (owner.ioContext), ws (std::forward<Args> (args)...), closeDeadline (owner.ioContext)
    {
    }

    void start (Target where)
    {
        target = std::move (where);
        resolver.async_resolve (target.host, target.port, [self = this->shared_from_this()] (beast::error_code ec, tcp::resolver::results_type results)
        {
            if (ec)
                return self->fail (ec);
            // The request time-out covers the connection and the handshakes.
            beast::get_lowest_layer (self->ws).expires_after (std::chrono::seconds (WebSocketClientEngine::requestTimeoutSeconds));
            beast::get_lowest_layer (self->ws).async_connect (results, [self] (beast::error_code connectError, const tcp::endpoint&)
            {
                if (connectError)
                    return self->fail (connectError);
                beast::error_code ignored;
                beast::get_lowest_layer (self->ws).socket().set_option (tcp::no_delay (true), ignored);
                self->afterConnect();
            });
        });
    }

    void send (std::string payload, bool binary) override
    {
        net::post (impl.ioContext, [self = this->shared_from_this(), payload = std::move (payload), binary]() mutable
        {
            if (self->ended || self->closeRequested)
                return;
            self->outgoing.push_back ({ std::move (payload), binary });
            if (self->outgoing.size() == 1)
                self->writeNext();
        });
    }

    void close (int status, const juce::String& reason) override
    {
        websocket::close_reason why (static_cast<websocket::close_code> (status), reason.toStdString().substr (0, 123));
        net::post (impl.ioContext, [self = this->shared_from_this(), why]
        {
            if (self->ended || self->closeRequested)
                return;
            self->closeRequested = true;
            self->closeReason = why;
            self->closeDeadline.expires_after (std::chrono::milliseconds (WebSocketClientEngine::closeWaitMs));
            self->closeDeadline.async_wait ([self] (beast::error_code ec)
            {
                if (! ec)
                    self->impl.ioContext.stop();
            });
            if (self->outgoing.empty())
                self->startClose();
            // otherwise the close follows the frames already queued
        });
    }

private:
    struct Outgoing
    {
        std::string payload;
        bool binary;
    };

    void afterConnect()
    {
        if constexpr (isTls)
        {
            // The server's name for hosts that serve several; the certificate is not verified.
            SSL_set_tlsext_host_name (ws.next_layer().native_handle(), target.host.c_str());
            ws.next_layer().async_handshake (ssl::stream_base::client, [self = this->shared_from_this()] (beast::error_code ec)
            {
                if (ec)
                    return self->fail (ec);
                self->handshake();
            });
        }
        else
        {
            handshake();
        }
    }

    void handshake()
    {
        beast::get_lowest_layer (ws).expires_never();
        websocket::stream_base::timeout timeouts;
        timeouts.handshake_timeout = std::chrono::seconds (WebSocketClientEngine::requestTimeoutSeconds);
        timeouts.idle_timeout = std::chrono::seconds (WebSocketClientEngine::idleTimeoutSeconds);
        timeouts.keep_alive_pings = false;
        ws.set_option (timeouts);
        ws.auto_fragment (false);
        ws.async_handshake (target.host + ":" + target.port, target.path, [self = this->shared_from_this()] (beast::error_code ec)
        {
            if (ec)
                return self->fail (ec);
            if (self->impl.events.opened)
                self->impl.events.opened (self);
            self->read();
        });
    }

    void read()
    {
        ws.async_read (buffer, [self = this->shared_from_this()] (beast::error_code ec, size_t)
        {
            if (ec)
            {
                if (ec == websocket::error::closed)
                    return self->reportClosed();
                if (self->closeStarted && ec == net::error::operation_aborted)
                    return; // the close reads the answer itself and reports
                return self->fail (ec);
            }
            const auto data = self->buffer.data();
            if (self->impl.events.message)
                self->impl.events.message (data.data(), data.size(), ! self->ws.got_text());
            self->buffer.consume (self->buffer.size());
            self->read();
        });
    }

    void writeNext()
    {
        auto& item = outgoing.front();
        ws.binary (item.binary);
        ws.async_write (net::buffer (item.payload), [self = this->shared_from_this()] (beast::error_code ec, size_t)
        {
            self->outgoing.pop_front();
            if (ec)
            {
                self->outgoing.clear();
                return; // the read reports the failure
            }
            if (! self->outgoing.empty())
                self->writeNext();
            else if (self->closeRequested)
                self->startClose();
        });
    }

    void startClose()
    {
        if (closeStarted || ended)
            return;
        closeStarted = true;
        ws.async_close (closeReason, [self = this->shared_from_this()] (beast::error_code ec)
        {
            if (ec)
                self->fail (ec);
            else
                self->reportClosed();
            self->impl.ioContext.stop(); // the client asked to stop
        });
    }

    void reportClosed()
    {
        if (ended)
            return;
        ended = true;
        closeDeadline.cancel();
        const auto& reason = ws.reason();
        if (impl.events.closed)
            impl.events.closed (static_cast<int> (reason.code), toJuceString (beast::string_view (reason.reason.data(), reason.reason.size())));
    }

    void fail (beast::error_code ec)
    {
        if (ended)
            return;
        ended = true;
        closeDeadline.cancel();
        beast::error_code ignored;
        beast::get_lowest_layer (ws).socket().close (ignored);
        if (impl.events.failed)
            impl.events.failed (ec.message());
    }

    WebSocketClientEngine::Impl& impl;
    tcp::resolver resolver;
    websocket::stream<NextLayer> ws;
    net::steady_timer closeDeadline;
    Target target;
    beast::flat_buffer buffer;
    std::deque<Outgoing> outgoing; // I/O thread only, as everything below
    websocket::close_reason closeReason;
    bool closeRequested = false;
    bool closeStarted = false;
    bool ended = false;
};
}

WebSocketClientEngine::WebSocketClientEngine (bool useTls, Events events)
    : impl (std::make_unique<Impl> (useTls, std::move (events)))
{
}

WebSocketClientEngine::~WebSocketClientEngine() = default;

void WebSocketClientEngine::run (const juce::String& url, int defaultPort)
{
    const auto target = parseUrl (url, defaultPort);
    try
    {
        if (impl->useTls)
        {
            impl->tlsContext = std::make_unique<ssl::context> (ssl::context::tlsv12_client);
            SSL_CTX_set_min_proto_version (impl->tlsContext->native_handle(), TLS1_2_VERSION);
            SSL_CTX_set_max_proto_version (impl->tlsContext->native_handle(), TLS1_2_VERSION);
            impl->tlsContext->set_default_verify_paths();
            impl->tlsContext->set_verify_mode (ssl::verify_none);
            auto session = std::make_shared<ClientSession<TlsStream>> (*impl, impl->ioContext, *impl->tlsContext);
            session->start (target);
        }
        else
        {
            auto session = std::make_shared<ClientSession<beast::tcp_stream>> (*impl, impl->ioContext);
            session->start (target);
        }
        impl->ioContext.run();
    }
    catch (const std::exception& e)
    {
        if (impl->events.failed)
            impl->events.failed (e.what());
    }
}

void WebSocketClientEngine::stop()
{
    impl->ioContext.stop();
}
