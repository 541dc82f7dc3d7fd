#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace test
{
/** Ends the test program when a guarded section does not finish in time: a deadlock then
    fails the test instead of hanging the whole run. */
class Watchdog
{
public:
    Watchdog (int seconds, std::string what) : description (std::move (what))
    {
        thread = std::thread ([this, seconds] {
            std::unique_lock lock (mutex);
            if (! done.wait_for (lock, std::chrono::seconds (seconds), [this] { return finished; }))
            {
                std::fprintf (stderr, "watchdog: %s did not finish within %d s (deadlock)\n", description.c_str(), seconds);
                std::fflush (stderr);
                std::_Exit (3);
            }
        });
    }

    ~Watchdog()
    {
        {
            const std::scoped_lock lock (mutex);
            finished = true;
        }
        done.notify_all();
        thread.join();
    }

private:
    std::string description;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread thread;
};
}
