// Our WebSocket server as a browser fleet meets it: a "time" frame to every client every
// 16 ms from the main thread, as the time publication does, and nothing else.
//
// Usage: bench_WebSocketTimeServer PORT   (runs until SIGTERM or SIGINT)
// Each frame's "millis" is the wall clock in milliseconds since the epoch when it was built.
#include "server/websocket/SimpleWebSocketServer.h"
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>

namespace
{
std::atomic<bool> stopRequested { false };
constexpr int timeReplaceKey = 1; // as the web-client server marks its "time" messages

void requestStop (int) { stopRequested = true; }

juce::String timeFrame()
{
    const auto now = std::chrono::duration<double, std::milli> (std::chrono::system_clock::now().time_since_epoch()).count();
    return "{\"type\":\"time\",\"millis\":" + juce::String (now, 3) + ",\"fps\":1000,\"isRunning\":true,\"cueIndex\":3}";
}

class StartLog : public SimpleWebSocketServerBase::Listener
{
public:
    void serverError (const juce::String& message) override { std::fprintf (stderr, "server error: %s\n", message.toRawUTF8()); }
};
}

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf (stderr, "usage: %s PORT\n", argv[0]);
        return 2;
    }
    std::signal (SIGTERM, requestStop);
    std::signal (SIGINT, requestStop);

    // As the application does at start: room for thousands of connections.
    rlimit limit {};
    if (getrlimit (RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max)
    {
        limit.rlim_cur = limit.rlim_max;
        setrlimit (RLIMIT_NOFILE, &limit);
    }

    StartLog log;
    SimpleWebSocketServer server;
    server.setMaxConnections (4000);
    server.addListener (&log);
    server.start (std::atoi (argv[1]), {}, "127.0.0.1");
    for (int wait = 0; wait < 300 && ! server.isRunning() && server.isThreadRunning(); ++wait)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    if (! server.isRunning())
        return 1;
    std::printf ("listening\n");
    std::fflush (stdout);

    // A tick that comes late is not made up: the next one follows 16 ms after it.
    const auto tick = std::chrono::milliseconds (16);
    auto next = std::chrono::steady_clock::now() + tick;
    while (! stopRequested)
    {
        std::this_thread::sleep_until (next);
        server.broadcastReplaceableText (timeFrame(), timeReplaceKey, {});
        next += tick;
        if (const auto now = std::chrono::steady_clock::now(); now > next)
            next = now + tick;
    }
    server.stopServer();
    return 0;
}
