// A fleet of WebSocket clients that only read, for measuring a broadcasting server from the
// outside: the same fleet runs against our server and against a reference server.
//
// Usage: bench_WebSocketFleet PORT CLIENTS SECONDS [THREADS [SERVER_PID]]
// Every text frame must hold "millis":<wall-clock milliseconds since the epoch, fraction
// allowed> stamped when the server built it; latency is the wall clock at receipt minus that.
// Prints one line of name=value pairs: connect_s, p50_ms, p99_ms, max_ms, fps_per_client,
// p99_first10_ms, p99_last10_ms, clients_open, and with a server process id its CPU share
// over the measured time (cpu_pct, 100 = one core) and its resident memory at the start and
// the end of it (rss_start_mb, rss_end_mb).
#include <boost/asio/connect.hpp>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
namespace beast = boost::beast;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using SteadyClock = std::chrono::steady_clock;

double wallMillis()
{
    return std::chrono::duration<double, std::milli> (std::chrono::system_clock::now().time_since_epoch()).count();
}

/** What one client thread saw; each thread writes its own. */
struct ThreadRecord
{
    struct Sample { float atSeconds; float latencyMs; };
    std::vector<Sample> samples;
};

struct Shared
{
    std::atomic<int> open { 0 };
    std::atomic<int> failed { 0 };
    std::atomic<bool> measuring { false };
    SteadyClock::time_point measureStart;
};

class Client : public std::enable_shared_from_this<Client>
{
public:
    Client (net::io_context& io, Shared& s, ThreadRecord& r) : ws (io), shared (s), record (r) {}

    void start (const tcp::endpoint& endpoint)
    {
        beast::get_lowest_layer (ws).async_connect (endpoint, [self = shared_from_this()] (beast::error_code ec)
        {
            if (ec)
                return self->fail();
            beast::get_lowest_layer (self->ws).socket().set_option (tcp::no_delay (true));
            self->ws.async_handshake ("127.0.0.1", "/", [self] (beast::error_code handshakeError)
            {
                if (handshakeError)
                    return self->fail();
                ++self->shared.open;
                self->read();
            });
        });
    }

    void stop()
    {
        beast::error_code ignored;
        beast::get_lowest_layer (ws).socket().close (ignored);
    }

private:
    void fail() { ++shared.failed; }

    void read()
    {
        ws.async_read (buffer, [self = shared_from_this()] (beast::error_code ec, size_t)
        {
            if (ec)
            {
                --self->shared.open;
                return;
            }
            self->received();
            self->read();
        });
    }

    void received()
    {
        const auto now = wallMillis();
        if (shared.measuring.load (std::memory_order_relaxed))
        {
            const auto data = buffer.data();
            const std::string_view text (static_cast<const char*> (data.data()), data.size());
            const auto at = text.find ("\"millis\":");
            if (at != std::string_view::npos)
            {
                const auto stamped = std::strtod (text.data() + at + 9, nullptr);
                const auto since = std::chrono::duration<float> (SteadyClock::now() - shared.measureStart).count();
                record.samples.push_back ({ since, static_cast<float> (now - stamped) });
            }
        }
        buffer.consume (buffer.size());
    }

    beast::websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer buffer;
    Shared& shared;
    ThreadRecord& record;
};

/** User and system CPU seconds of a process, from /proc; 0 when unknown. */
double processCpuSeconds (int pid)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/stat");
    std::string text ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
    const auto afterName = text.rfind (')');
    if (afterName == std::string::npos)
        return 0.0;
    std::istringstream fields (text.substr (afterName + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
    {
        if (i == 14) utime = std::atof (field.c_str());
        if (i == 15) stime = std::atof (field.c_str());
    }
    return (utime + stime) / static_cast<double> (sysconf (_SC_CLK_TCK));
}

double residentMegabytes (int pid)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/status");
    std::string line;
    while (std::getline (in, line))
        if (line.rfind ("VmRSS:", 0) == 0)
            return std::atof (line.c_str() + 6) / 1024.0;
    return 0.0;
}

double percentile (std::vector<float>& values, double p)
{
    if (values.empty())
        return 0.0;
    const auto index = std::min (values.size() - 1, static_cast<size_t> (p * static_cast<double> (values.size() - 1) + 0.5));
    std::nth_element (values.begin(), values.begin() + static_cast<std::ptrdiff_t> (index), values.end());
    return static_cast<double> (values[index]);
}
}

int main (int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf (stderr, "usage: %s PORT CLIENTS SECONDS [THREADS]\n", argv[0]);
        return 2;
    }
    const auto port = static_cast<unsigned short> (std::atoi (argv[1]));
    const int clientCount = std::atoi (argv[2]);
    const double seconds = std::atof (argv[3]);
    const int threadCount = std::max (1, argc > 4 ? std::atoi (argv[4]) : 4);
    const int serverPid = argc > 5 ? std::atoi (argv[5]) : 0;

    Shared shared;
    std::vector<std::unique_ptr<net::io_context>> contexts;
    std::vector<ThreadRecord> records (static_cast<size_t> (threadCount));
    std::vector<std::shared_ptr<Client>> clients;
    for (int t = 0; t < threadCount; ++t)
        contexts.push_back (std::make_unique<net::io_context> (1));

    const tcp::endpoint endpoint (net::ip::make_address ("127.0.0.1"), port);
    const auto connectStart = SteadyClock::now();
    for (int i = 0; i < clientCount; ++i)
    {
        const auto t = static_cast<size_t> (i % threadCount);
        clients.push_back (std::make_shared<Client> (*contexts[t], shared, records[t]));
        clients.back()->start (endpoint);
    }

    std::vector<std::thread> threads;
    std::vector<net::executor_work_guard<net::io_context::executor_type>> guards;
    for (auto& io : contexts)
    {
        guards.push_back (net::make_work_guard (*io));
        threads.emplace_back ([&io] { io->run(); });
    }

    const auto connectDeadline = connectStart + std::chrono::seconds (60);
    while (shared.open.load() + shared.failed.load() < clientCount && SteadyClock::now() < connectDeadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (2));
    const auto connectSeconds = std::chrono::duration<double> (SteadyClock::now() - connectStart).count();

    // Let the greeting and the first frames pass before measuring.
    std::this_thread::sleep_for (std::chrono::milliseconds (500));
    const auto cpuBefore = serverPid > 0 ? processCpuSeconds (serverPid) : 0.0;
    const auto rssStart = serverPid > 0 ? residentMegabytes (serverPid) : 0.0;
    shared.measureStart = SteadyClock::now();
    shared.measuring = true;
    std::this_thread::sleep_for (std::chrono::duration<double> (seconds));
    shared.measuring = false;
    const auto measuredSeconds = std::chrono::duration<double> (SteadyClock::now() - shared.measureStart).count();
    const auto cpuPercent = serverPid > 0 ? 100.0 * (processCpuSeconds (serverPid) - cpuBefore) / measuredSeconds : 0.0;
    const auto rssEnd = serverPid > 0 ? residentMegabytes (serverPid) : 0.0;
    const auto stillOpen = shared.open.load();

    for (auto& io : contexts)
        net::post (*io, [] {});
    for (size_t t = 0; t < contexts.size(); ++t)
        net::post (*contexts[t], [&clients, t, threadCount]
        {
            for (size_t i = t; i < clients.size(); i += static_cast<size_t> (threadCount))
                clients[i]->stop();
        });
    guards.clear();
    for (auto& io : contexts)
        io->stop();
    for (auto& thread : threads)
        thread.join();

    std::vector<float> all, first10, last10;
    for (const auto& record : records)
        for (const auto& s : record.samples)
        {
            all.push_back (s.latencyMs);
            if (s.atSeconds < 10.0f)
                first10.push_back (s.latencyMs);
            if (static_cast<double> (s.atSeconds) >= seconds - 10.0)
                last10.push_back (s.latencyMs);
        }
    const auto frames = static_cast<double> (all.size());
    std::printf ("connect_s=%.2f p50_ms=%.2f p99_ms=%.2f max_ms=%.2f fps_per_client=%.2f p99_first10_ms=%.2f p99_last10_ms=%.2f "
                 "clients_open=%d failed=%d cpu_pct=%.1f rss_start_mb=%.1f rss_end_mb=%.1f\n",
                 connectSeconds, percentile (all, 0.5), percentile (all, 0.99), percentile (all, 1.0),
                 frames / seconds / std::max (1, clientCount), percentile (first10, 0.99), percentile (last10, 0.99),
                 stillOpen, shared.failed.load(), cpuPercent, rssStart, rssEnd);
    return 0;
}
