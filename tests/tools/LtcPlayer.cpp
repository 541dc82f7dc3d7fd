// A JACK client that plays generated LTC on one output port (or the same LTC on each of
// several), the audio input of the end-to-end checks. It runs until SIGTERM or SIGINT.
//
//   vantrel_ltc_player --name NAME [--fps 25] [--start HH:MM:SS:FF] [--info FILE] [--ports N]
//
// Once the first block has been played, FILE receives one line: the JACK frame time of the
// first sample played, the frame rate, and the start time in milliseconds. The timecode is
// locked to the server's frame clock, which every client shares (after a cycle the player
// missed it continues where the clock is, as timecode locked to a clock does), so a test can
// tell from that clock which frame plays at any moment.

#include "LtcSignal.h"

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
std::atomic<bool> quit { false };
void onSignal (int) { quit = true; }

struct Player
{
    jack_client_t* client = nullptr;
    std::vector<jack_port_t*> ports;
    LtcSignal* signal = nullptr;
    std::atomic<bool> started { false };
    std::atomic<jack_nframes_t> firstFrame { 0 };
};

int process (jack_nframes_t nframes, void* arg)
{
    auto& p = *static_cast<Player*> (arg);
    auto* out = static_cast<float*> (jack_port_get_buffer (p.ports[0], nframes));

    const auto frameTime = jack_last_frame_time (p.client);
    if (! p.started)
    {
        p.firstFrame = frameTime;
        p.started = true;
    }

    const int64_t position = (jack_nframes_t) (frameTime - p.firstFrame);
    if (position != p.signal->getSamplesRendered())
        p.signal->seek (position);
    p.signal->render (out, (int) nframes);
    for (size_t i = 1; i < p.ports.size(); ++i)
        std::memcpy (jack_port_get_buffer (p.ports[i], nframes), out, nframes * sizeof (float));
    return 0;
}

bool parseTime (const char* text, LtcSignal::Time& t)
{
    return std::sscanf (text, "%d:%d:%d:%d", &t.hours, &t.minutes, &t.seconds, &t.frames) == 4;
}
}

int main (int argc, char** argv)
{
    std::string name = "vantrel-ltc", infoFile;
    int fps = 25;
    int numPorts = 1;
    LtcSignal::Time start { 10, 0, 0, 0 };

    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--name")
            name = argv[i + 1];
        else if (option == "--fps")
            fps = std::atoi (argv[i + 1]);
        else if (option == "--start" && parseTime (argv[i + 1], start))
            ;
        else if (option == "--info")
            infoFile = argv[i + 1];
        else if (option == "--ports" && std::atoi (argv[i + 1]) > 0)
            numPorts = std::atoi (argv[i + 1]);
        else
        {
            std::fprintf (stderr, "unknown or bad option %s\n", argv[i]);
            return 2;
        }
    }
    if (fps != 24 && fps != 25 && fps != 30)
    {
        std::fprintf (stderr, "fps must be 24, 25 or 30\n");
        return 2;
    }

    std::signal (SIGTERM, onSignal);
    std::signal (SIGINT, onSignal);

    // The server may still be starting, and on a loaded machine activation can miss the
    // library's one second for its thread to start: try for ten seconds.
    Player player;
    std::unique_ptr<LtcSignal> signal;
    bool active = false;
    for (int attempt = 0; attempt < 100 && ! active && ! quit; ++attempt)
    {
        if (attempt > 0)
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
        player.client = jack_client_open (name.c_str(), JackNoStartServer, nullptr);
        if (player.client == nullptr)
            continue;
        signal = std::make_unique<LtcSignal> (jack_get_sample_rate (player.client), fps, start);
        player.signal = signal.get();
        player.ports.clear();
        bool registered = true;
        for (int p = 0; p < numPorts; ++p)
        {
            const auto portName = numPorts == 1 ? std::string ("out") : "out_" + std::to_string (p + 1);
            auto* port = jack_port_register (player.client, portName.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
            registered = registered && port != nullptr;
            player.ports.push_back (port);
        }
        jack_set_process_callback (player.client, process, &player);
        active = registered && jack_activate (player.client) == 0;
        if (! active)
        {
            std::fprintf (stderr, "cannot start the JACK client, trying again\n");
            jack_client_close (player.client);
            player.client = nullptr;
        }
    }
    if (! active)
    {
        std::fprintf (stderr, "no JACK server\n");
        return 1;
    }

    bool written = infoFile.empty();
    while (! quit)
    {
        if (! written && player.started)
        {
            const auto tmp = infoFile + ".tmp";
            if (auto* f = std::fopen (tmp.c_str(), "w"))
            {
                std::fprintf (f, "%u %d %.0f\n", (unsigned) player.firstFrame, fps, signal->toMillis (start));
                std::fclose (f);
                std::rename (tmp.c_str(), infoFile.c_str());
            }
            written = true;
        }
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }

    jack_deactivate (player.client);
    jack_client_close (player.client);
    return 0;
}
