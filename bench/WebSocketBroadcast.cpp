// Broadcast fan-out of the WebSocket server: a replaceable "time" message every 16 ms to 100,
// 500, 1000 and 2000 clients on loopback, the clients spread over several threads. Reports
// delivery latency (p50, p99, max), the share of messages delivered (a client that falls
// behind gets the newest time instead of every one), the server thread's CPU use, and the
// process's peak memory (the clients run in this process too). For the comparison with a
// reference server in separate processes, see ws-broadcast-compare.sh.
#include "server/websocket/SimpleWebSocketServer.h"
#include <benchmark/benchmark.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace
{
namespace beast = boost::beast;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

constexpr int tickMs = 16;
constexpr int seconds = 4;
constexpr int messageCount = seconds * 1000 / tickMs;
constexpr int clientThreads = 4;
constexpr int timeReplaceKey = 1;

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds> (Clock::now().time_since_epoch()).count();
}

/** Latencies of every delivered message, written by the client thread. */
struct Samples
{
    explicit Samples (size_t capacity) : values (capacity) {}
    void add (std::int64_t ns)
    {
        const auto i = count.fetch_add (1);
        if (i < values.size())
            values[i] = ns;
    }
    std::vector<std::int64_t> values;
    std::atomic<size_t> count { 0 };
};

class Client : public std::enable_shared_from_this<Client>
{
public:
    Client (net::io_context& io, Samples& s) : ws (io), samples (s) {}

    void start (const tcp::endpoint& endpoint)
    {
        beast::get_lowest_layer (ws).async_connect (endpoint, [self = shared_from_this()] (beast::error_code ec)
        {
            if (ec)
                return;
            beast::get_lowest_layer (self->ws).socket().set_option (tcp::no_delay (true));
            self->ws.async_handshake ("127.0.0.1", "/", [self] (beast::error_code handshakeError)
            {
                if (! handshakeError)
                    self->read();
            });
        });
    }

private:
    void read()
    {
        ws.async_read (buffer, [self = shared_from_this()] (beast::error_code ec, size_t)
        {
            if (ec)
                return;
            const auto received = nowNs();
            const auto text = beast::buffers_to_string (self->buffer.data());
            self->buffer.consume (self->buffer.size());
            const auto start = text.find ("\"sent\":");
            if (start != std::string::npos)
                self->samples.add (received - std::stoll (text.substr (start + 7)));
            self->read();
        });
    }

    beast::websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer buffer;
    Samples& samples;
};

double threadCpuSeconds (pthread_t thread)
{
    clockid_t clock;
    timespec ts {};
    if (pthread_getcpuclockid (thread, &clock) != 0 || clock_gettime (clock, &ts) != 0)
        return 0.0;
    return (double) ts.tv_sec + (double) ts.tv_nsec * 1e-9;
}

double percentile (std::vector<std::int64_t>& values, double p)
{
    if (values.empty())
        return 0.0;
    const auto index = std::min (values.size() - 1, (size_t) (p * (double) (values.size() - 1) + 0.5));
    std::nth_element (values.begin(), values.begin() + (std::ptrdiff_t) index, values.end());
    return (double) values[index] / 1e6;
}

int startServer (SimpleWebSocketServer& server)
{
    // Above the range the system hands out to outgoing connections.
    for (int attempt = 0; attempt < 50; ++attempt)
    {
        const auto port = 61000 + (int) ((getpid() + attempt * 37) % 4000);
        server.start (port, {}, "127.0.0.1");
        for (int wait = 0; wait < 200 && ! server.isRunning() && server.isThreadRunning(); ++wait)
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        if (server.isRunning())
            return port;
        server.stopServer();
    }
    return 0;
}

void raiseDescriptorLimit()
{
    // Two descriptors per client (both ends live in this process).
    rlimit limit {};
    if (getrlimit (RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max)
    {
        limit.rlim_cur = limit.rlim_max;
        setrlimit (RLIMIT_NOFILE, &limit);
    }
}

void BM_BroadcastFanOut (benchmark::State& state)
{
    raiseDescriptorLimit();
    const auto clientCount = (int) state.range (0);
    SimpleWebSocketServer server;
    server.setMaxConnections (2 * clientCount);
    const auto port = startServer (server);
    if (port == 0)
    {
        state.SkipWithError ("no port to listen on");
        return;
    }

    Samples samples ((size_t) clientCount * messageCount);
    std::vector<std::unique_ptr<net::io_context>> contexts;
    std::vector<net::executor_work_guard<net::io_context::executor_type>> work;
    std::vector<std::thread> threads;
    for (int t = 0; t < clientThreads; ++t)
    {
        contexts.push_back (std::make_unique<net::io_context> (1));
        work.push_back (net::make_work_guard (*contexts.back()));
    }
    for (auto& io : contexts)
        threads.emplace_back ([&io] { io->run(); });

    const tcp::endpoint endpoint (net::ip::make_address ("127.0.0.1"), (unsigned short) port);
    std::vector<std::shared_ptr<Client>> clients;
    for (int i = 0; i < clientCount; ++i)
    {
        clients.push_back (std::make_shared<Client> (*contexts[(size_t) (i % clientThreads)], samples));
        clients.back()->start (endpoint);
    }
    const auto connectDeadline = Clock::now() + std::chrono::seconds (30);
    while (server.getNumClients() < clientCount && Clock::now() < connectDeadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    if (server.getNumClients() < clientCount)
        state.SkipWithError ("not every client connected");

    const auto serverThread = (pthread_t) server.getThreadId();
    double cpuSeconds = 0.0, wallSeconds = 0.0;
    for (auto _ : state)
    {
        const auto cpuBefore = threadCpuSeconds (serverThread);
        const auto started = Clock::now();
        for (int m = 0; m < messageCount; ++m)
        {
            std::this_thread::sleep_until (started + std::chrono::milliseconds (tickMs * m));
            // About the size of a time message, with the send time for the receiver.
            server.broadcastReplaceableText ("{\"type\":\"time\",\"sent\":" + juce::String (nowNs())
                                                 + ",\"fps\":1000,\"isRunning\":true,\"cueIndex\":3}",
                                             timeReplaceKey, {});
        }
        // Until every message is in, or nothing more has come for a while.
        const auto expected = (size_t) clientCount * messageCount;
        auto lastCount = samples.count.load();
        auto lastChange = Clock::now();
        while (samples.count.load() < expected && Clock::now() - lastChange < std::chrono::milliseconds (500))
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
            if (samples.count.load() != lastCount)
            {
                lastCount = samples.count.load();
                lastChange = Clock::now();
            }
        }
        wallSeconds = std::chrono::duration<double> (Clock::now() - started).count();
        cpuSeconds = threadCpuSeconds (serverThread) - cpuBefore;
    }

    std::vector<std::int64_t> latencies (samples.values.begin(),
                                         samples.values.begin() + (std::ptrdiff_t) std::min (samples.count.load(), samples.values.size()));
    state.counters["clients"] = clientCount;
    state.counters["delivered_pct"] = 100.0 * (double) latencies.size() / ((double) clientCount * messageCount);
    state.counters["p50_ms"] = percentile (latencies, 0.50);
    state.counters["p99_ms"] = percentile (latencies, 0.99);
    state.counters["max_ms"] = percentile (latencies, 1.0);
    state.counters["server_cpu_pct"] = wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0.0;
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = (double) usage.ru_maxrss / 1024.0;

    server.stopServer();
    work.clear();
    for (auto& io : contexts)
        io->stop();
    for (auto& thread : threads)
        thread.join();
}

BENCHMARK (BM_BroadcastFanOut)->Arg (100)->Arg (500)->Arg (1000)->Arg (2000)->Iterations (1)->Unit (benchmark::kMillisecond)->UseRealTime();
}
