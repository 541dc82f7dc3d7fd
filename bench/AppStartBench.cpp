// The application from start to its first paint and its first browser greeting, with a show of
// 10,000 and 100,000 cues in one list; how fast a termination request is honoured early in
// the start, at the first paint and a second later (the start's own edit - cues linked to
// their categories - is then waiting for its write); and the application's peak memory.
//
// Runs the real executable (next to this program in ../bin, or VANTREL_APP) in a fresh home
// per run, under the display of DISPLAY, with a browser client on 127.0.0.1:3030. It needs
// the port and the single-instance lock to itself: run it isolated, for example
//   /work/isolate.sh xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_AppStartBench
#include "document/Identifiers.h"
#include "document/TreeText.h"
#include "support/LargeShow.h"
#include <benchmark/benchmark.h>
#include <juce_graphics/juce_graphics.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{
namespace beast = boost::beast;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

double secondsSince (Clock::time_point start)
{
    return std::chrono::duration<double> (Clock::now() - start).count();
}

juce::File appFile()
{
    if (auto* path = std::getenv ("VANTREL_APP"))
        return juce::File (path);
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory().getSiblingFile ("bin/Vantrel");
}

/** A home with the show as the last used document and one web-client server on port 3030. */
juce::File makeHome (int cues)
{
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vantrel-start", "");
    const auto folder = home.getChildFile ("Documents/Vantrel");
    folder.getChildFile ("preferences").createDirectory();

    static std::map<int, juce::String> texts;
    if (texts.count (cues) == 0)
    {
        auto show = test::makeLargeShow (cues, cues);
        auto servers = show.getChildWithName (IDs::Servers);
        juce::ValueTree server (IDs::Server);
        server.setProperty (IDs::uuid, "0123456789abcdef0123456789abcdef", nullptr)
            .setProperty (IDs::port, 3030, nullptr)
            .setProperty (IDs::name, "Crew", nullptr);
        server.appendChild (juce::ValueTree (IDs::ColorMask), nullptr);
        servers.appendChild (server, nullptr);
        texts[cues] = TreeText::toText (show);
    }
    folder.getChildFile ("Show.xml").replaceWithText (texts[cues]);
    folder.getChildFile ("preferences/preferences.xml")
        .replaceWithText ("<preferences>\r\n  <app version=\"1.1.0.643\"/>\r\n  <lastusedfile fullpathname=\""
                          + folder.getChildFile ("Show.xml").getFullPathName() + "\"/>\r\n</preferences>\r\n");
    return home;
}

pid_t startApp (const juce::File& home)
{
    std::vector<std::string> env { "HOME=" + home.getFullPathName().toStdString() };
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp (*e, "HOME=", 5) != 0)
            env.emplace_back (*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back (e.data());
    envp.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, 2, "/dev/null", O_WRONLY, 0);
    auto path = appFile().getFullPathName().toStdString();
    char* argv[] = { path.data(), nullptr };
    pid_t pid = 0;
    posix_spawn (&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy (&actions);
    return pid;
}

/** Seconds until the process has ended; -1 when it has not within the limit (then killed). */
double waitForExit (pid_t pid, double limitSeconds)
{
    const auto start = Clock::now();
    while (secondsSince (start) < limitSeconds)
    {
        int status = 0;
        if (waitpid (pid, &status, WNOHANG) == pid)
            return secondsSince (start);
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    }
    kill (pid, SIGKILL);
    waitpid (pid, nullptr, 0);
    return -1.0;
}

/** Whether the application's main window shows anything but black yet. */
class PaintWatch
{
public:
    PaintWatch() : display (XOpenDisplay (nullptr)) {}
    ~PaintWatch()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    bool isPainted()
    {
        if (display == nullptr)
            return false;
        const auto window = findMainWindow (DefaultRootWindow (display));
        if (window == 0)
            return false;
        XWindowAttributes attributes {};
        if (XGetWindowAttributes (display, window, &attributes) == 0 || attributes.map_state != IsViewable)
            return false;
        // Read from the screen, clipped to it: a window partly off screen cannot be read itself.
        const auto root = DefaultRootWindow (display);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates (display, window, root, 0, 0, &x, &y, &child);
        const auto area = juce::Rectangle<int> (x, y, attributes.width, attributes.height)
                              .getIntersection ({ 0, 0, DisplayWidth (display, 0), DisplayHeight (display, 0) });
        if (area.isEmpty())
            return false;
        auto* image = XGetImage (display, root, area.getX(), area.getY(), (unsigned) area.getWidth(),
                                 (unsigned) area.getHeight(), AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        // Text and cue colours: anything clearly brighter than the unpainted black.
        int lit = 0;
        for (int py = 0; py < area.getHeight(); py += 5)
            for (int px = 0; px < area.getWidth(); px += 5)
            {
                const auto pixel = XGetPixel (image, px, py);
                lit += ((pixel >> 16) & 0xff) > 0x50 || ((pixel >> 8) & 0xff) > 0x50 || (pixel & 0xff) > 0x50 ? 1 : 0;
            }
        XDestroyImage (image);
        return lit > 20;
    }

private:
    Display* display;

    Window findMainWindow (Window parent)
    {
        Window root = 0, parentOut = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree (display, parent, &root, &parentOut, &children, &count) == 0)
            return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i)
        {
            // The main window: the application's class, viewable, at least its minimum size
            // (the title is stored as UTF-8, which the plain name query does not return).
            XClassHint hint {};
            if (XGetClassHint (display, children[i], &hint) != 0)
            {
                XWindowAttributes attributes {};
                if (juce::String (hint.res_class) == "Vantrel" && XGetWindowAttributes (display, children[i], &attributes) != 0
                    && attributes.map_state == IsViewable && attributes.width >= 300 && attributes.height >= 550)
                    found = children[i];
                XFree (hint.res_name);
                XFree (hint.res_class);
            }
            if (found == 0)
                found = findMainWindow (children[i]);
        }
        if (children != nullptr)
            XFree (children);
        return found;
    }
};

/** A browser on 127.0.0.1: connects as soon as the port answers and waits for the four
    greeting messages. */
class Browser
{
public:
    explicit Browser (Clock::time_point s) : start (s), thread ([this] { run(); }) {}
    ~Browser()
    {
        stop = true;
        thread.join();
    }

    std::atomic<double> greetedAfter { -1.0 };

private:
    Clock::time_point start;
    std::atomic<bool> stop { false };
    std::thread thread;

    void run()
    {
        while (! stop)
        {
            try
            {
                net::io_context io;
                beast::websocket::stream<tcp::socket> ws (io);
                ws.next_layer().connect ({ net::ip::make_address ("127.0.0.1"), 3030 });
                ws.handshake ("127.0.0.1", "/");
                for (int i = 0; i < 4; ++i)
                {
                    beast::flat_buffer buffer;
                    ws.read (buffer);
                }
                greetedAfter = secondsSince (start);
                return;
            }
            catch (const std::exception&)
            {
                std::this_thread::sleep_for (std::chrono::milliseconds (10));
            }
        }
    }
};

juce::int64 peakMemoryKb (pid_t pid)
{
    juce::StringArray lines;
    lines.addLines (juce::File ("/proc/" + juce::String (pid) + "/status").loadFileAsString());
    for (auto& line : lines)
        if (line.startsWith ("VmHWM:"))
            return line.fromFirstOccurrenceOf (":", false, false).trim().getLargeIntValue();
    return 0;
}

void BM_StartToPaintAndGreeting (benchmark::State& state)
{
    const int cues = (int) state.range (0);
    for (auto _ : state)
    {
        const auto home = makeHome (cues);
        PaintWatch paint;
        const auto start = Clock::now();
        const auto pid = startApp (home);
        Browser browser (start);
        double paintedAfter = -1.0;
        while (secondsSince (start) < 120.0 && (paintedAfter < 0 || browser.greetedAfter < 0))
        {
            if (paintedAfter < 0 && paint.isPainted())
                paintedAfter = secondsSince (start);
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        state.SetIterationTime (secondsSince (start));
        state.counters["paint_s"] = paintedAfter;
        state.counters["greeting_s"] = browser.greetedAfter.load();
        state.counters["peak_MB"] = (double) peakMemoryKb (pid) / 1024.0;
        kill (pid, SIGTERM);
        state.counters["exit_s"] = waitForExit (pid, 60.0);
        home.deleteRecursively();
    }
}

/** A termination request at a moment of the start (0: at the first paint; negative: that
    many milliseconds after the launch; positive: that long after the first paint). */
void BM_TerminationDuringStart (benchmark::State& state)
{
    const int cues = (int) state.range (0);
    const auto when = state.range (1);
    for (auto _ : state)
    {
        const auto home = makeHome (cues);
        PaintWatch paint;
        const auto start = Clock::now();
        const auto pid = startApp (home);
        if (when < 0)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (-when));
        }
        else
        {
            while (secondsSince (start) < 120.0 && ! paint.isPainted())
                std::this_thread::sleep_for (std::chrono::milliseconds (10));
            std::this_thread::sleep_for (std::chrono::milliseconds (when));
        }
        kill (pid, SIGTERM);
        const auto exitAfter = waitForExit (pid, 60.0);
        state.SetIterationTime (std::max (exitAfter, 0.0));
        state.counters["exit_s"] = exitAfter;
        home.deleteRecursively();
    }
}
}

BENCHMARK (BM_StartToPaintAndGreeting)->Arg (10'000)->Arg (100'000)->UseManualTime()->Iterations (2)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_TerminationDuringStart)
    ->ArgsProduct ({ { 10'000, 100'000 }, { -300, -1500, 0, 1500 } })
    ->UseManualTime()
    ->Iterations (2)
    ->Unit (benchmark::kMillisecond);
