#include "support/ServerTestSupport.h"
#include "support/MessageLoop.h"
#include <csignal>

namespace test
{
namespace
{
// A raw client writing to a connection the server has closed must not end the test process.
const bool sigpipeIgnored = [] { std::signal (SIGPIPE, SIG_IGN); return true; }();
}

void EventLog::serverStarted() { const juce::ScopedLock sl (lock); ++starts; }
void EventLog::serverError (const juce::String& m) { const juce::ScopedLock sl (lock); serverErrors.add (m); }
void EventLog::clientConnected (const juce::String& id) { const juce::ScopedLock sl (lock); connected.add (id); }
void EventLog::textReceived (const juce::String&, const juce::String& t) { const juce::ScopedLock sl (lock); texts.add (t); }
void EventLog::binaryReceived (const juce::String&, const juce::MemoryBlock& d) { const juce::ScopedLock sl (lock); binaries.push_back (d); }
void EventLog::clientClosed (const juce::String& id, int s, const juce::String& r) { const juce::ScopedLock sl (lock); closed.push_back ({ id, s, r }); }
void EventLog::clientError (const juce::String& id, const juce::String& m) { const juce::ScopedLock sl (lock); clientErrors.add (id + ": " + m); }

int EventLog::getStarts() const { const juce::ScopedLock sl (lock); return starts; }
juce::StringArray EventLog::getServerErrors() const { const juce::ScopedLock sl (lock); return serverErrors; }
juce::StringArray EventLog::getConnected() const { const juce::ScopedLock sl (lock); return connected; }
juce::StringArray EventLog::getTexts() const { const juce::ScopedLock sl (lock); return texts; }
std::vector<juce::MemoryBlock> EventLog::getBinaries() const { const juce::ScopedLock sl (lock); return binaries; }
std::vector<EventLog::Closed> EventLog::getClosed() const { const juce::ScopedLock sl (lock); return closed; }
juce::StringArray EventLog::getClientErrors() const { const juce::ScopedLock sl (lock); return clientErrors; }

int nextCandidatePort()
{
    // 220 blocks of 100 ports between 10000 and 32000, one block per process id; below the
    // range the system hands out to outgoing connections.
    static int next = 10000 + (static_cast<int> (getpid()) % 220) * 100;
    const auto port = next;
    next = next + 1 >= 32000 ? 10000 : next + 1;
    return port;
}

int startOnFreePort (SimpleWebSocketServer& server, EventLog& log, const juce::String& endpointPath, const juce::String& address)
{
    server.addListener (&log);
    for (int attempt = 0; attempt < 50; ++attempt)
    {
        const auto port = nextCandidatePort();
        const auto errorsBefore = log.getServerErrors().size();
        server.start (port, endpointPath, address);
        pumpUntil ([&] { return server.isRunning() || log.getServerErrors().size() > errorsBefore; }, 10000);
        if (server.isRunning())
            return port;
        server.stopServer();
    }
    return 0;
}

//==============================================================================
RawClient::RawClient() = default;

bool RawClient::connect (int port, const juce::String& host)
{
    return socket.connect (host, port, 5000);
}

bool RawClient::send (const std::string& bytes)
{
    size_t sent = 0;
    const auto end = juce::Time::getMillisecondCounterHiRes() + 10000;
    while (sent < bytes.size())
    {
        if (socket.waitUntilReady (false, 100) < 0 || juce::Time::getMillisecondCounterHiRes() > end)
            return false;
        const auto n = socket.write (bytes.data() + sent, (int) std::min<size_t> (bytes.size() - sent, 1 << 16));
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        if (n > 0)
            sent += (size_t) n;
    }
    return true;
}

bool RawClient::fill (int timeoutMs)
{
    if (closed)
        return false;
    const auto ready = socket.waitUntilReady (true, timeoutMs);
    if (ready == 0)
        return false;
    char chunk[65536];
    const auto n = ready > 0 ? socket.read (chunk, sizeof (chunk), false) : -1;
    if (n <= 0)
    {
        closed = true;
        return false;
    }
    received.append (chunk, (size_t) n);
    return true;
}

bool RawClient::readAtLeast (size_t n, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (received.size() < n)
    {
        const auto left = (int) (end - juce::Time::getMillisecondCounterHiRes());
        if (left <= 0 || (! fill (left) && closed))
            return received.size() >= n;
    }
    return true;
}

bool RawClient::waitForClose (int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (! closed)
    {
        const auto left = (int) (end - juce::Time::getMillisecondCounterHiRes());
        if (left <= 0)
            return false;
        fill (left);
    }
    return true;
}

std::optional<std::string> RawClient::readHttpResponse (int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    for (;;)
    {
        const auto headerEnd = received.find ("\r\n\r\n");
        if (headerEnd != std::string::npos)
        {
            const auto header = juce::String (received.substr (0, headerEnd));
            size_t length = 0;
            for (auto line : juce::StringArray::fromLines (header))
                if (line.upToFirstOccurrenceOf (":", false, false).trim().equalsIgnoreCase ("Content-Length"))
                    length = (size_t) line.fromFirstOccurrenceOf (":", false, false).trim().getLargeIntValue();
            const auto total = headerEnd + 4 + length;
            if (received.size() >= total)
            {
                auto response = received.substr (0, total);
                received.erase (0, total);
                return response;
            }
        }
        const auto left = (int) (end - juce::Time::getMillisecondCounterHiRes());
        if (left <= 0 || (! fill (left) && closed))
            return std::nullopt;
    }
}

bool RawClient::upgrade (const juce::String& path)
{
    const auto request = "GET " + path.toStdString() + " HTTP/1.1\r\n"
                         "Host: 127.0.0.1\r\n"
                         "Upgrade: websocket\r\n"
                         "Connection: Upgrade\r\n"
                         "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                         "Sec-WebSocket-Version: 13\r\n\r\n";
    if (! send (request))
        return false;
    const auto response = readHttpResponse();
    return response.has_value() && response->rfind ("HTTP/1.1 101 ", 0) == 0;
}

bool RawClient::sendFrame (int opcode, const std::string& payload)
{
    std::string frame;
    frame += (char) (0x80 | opcode);
    const auto size = payload.size();
    if (size < 126)
    {
        frame += (char) (0x80 | size);
    }
    else if (size < 65536)
    {
        frame += (char) (0x80 | 126);
        frame += (char) (size >> 8);
        frame += (char) (size & 0xff);
    }
    else
    {
        frame += (char) (0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8)
            frame += (char) ((size >> shift) & 0xff);
    }
    const char mask[4] = { 0x12, 0x34, 0x56, 0x78 };
    frame.append (mask, 4);
    for (size_t i = 0; i < size; ++i)
        frame += (char) (payload[i] ^ mask[i % 4]);
    return send (frame);
}

std::optional<RawClient::Frame> RawClient::readFrame (int timeoutMs)
{
    if (! readAtLeast (2, timeoutMs))
        return std::nullopt;
    const auto b1 = (unsigned char) received[1];
    if ((b1 & 0x80) != 0)
        return std::nullopt; // a server never masks
    size_t header = 2;
    size_t size = b1 & 0x7f;
    if (size == 126)
    {
        header = 4;
        if (! readAtLeast (header, timeoutMs))
            return std::nullopt;
        size = ((size_t) (unsigned char) received[2] << 8) | (unsigned char) received[3];
    }
    else if (size == 127)
    {
        header = 10;
        if (! readAtLeast (header, timeoutMs))
            return std::nullopt;
        size = 0;
        for (int i = 2; i < 10; ++i)
            size = (size << 8) | (unsigned char) received[(size_t) i];
    }
    if (! readAtLeast (header + size, timeoutMs))
        return std::nullopt;
    Frame frame;
    frame.firstByte = (unsigned char) received[0];
    frame.payload = received.substr (header, size);
    received.erase (0, header + size);
    return frame;
}

std::optional<std::string> httpGet (int port, const std::string& request)
{
    RawClient client;
    if (! client.connect (port) || ! client.send (request))
        return std::nullopt;
    return client.readHttpResponse();
}

int closeStatus (const RawClient::Frame& frame)
{
    if (frame.payload.size() < 2)
        return -1;
    return ((unsigned char) frame.payload[0] << 8) | (unsigned char) frame.payload[1];
}
}
