#pragma once

#include <cstdint>

/** What the time manager publishes: the current time in milliseconds (time of day on the
    computer's clock, timecode position with LTC), the source's frame rate (1000 for the
    computer's clock), whether a time arrived less than a second ago, and the source kind. */
struct TimeInfo
{
    int32_t time = 0;
    int32_t fps = 30;
    bool running = false;
    bool internalClock = false;

    bool operator== (const TimeInfo& other) const
    {
        return time == other.time && fps == other.fps && running == other.running
               && internalClock == other.internalClock;
    }
    bool operator!= (const TimeInfo& other) const { return ! operator== (other); }
};
