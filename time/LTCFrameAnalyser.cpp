#include "time/LTCFrameAnalyser.h"

namespace
{
constexpr int secondsPerDay = 24 * 3600;
}

LTCFrameAnalyser::Position LTCFrameAnalyser::positionOf (const LTCFrameExt& frame)
{
    SMPTETimecode time {};
    auto ltc = frame.ltc;
    ltc_frame_to_time (&time, &ltc, 0);

    Position p;
    p.second = (time.hours * 60 + time.mins) * 60 + time.secs;
    p.frame = time.frame;
    p.dropFrame = frame.ltc.dfbit != 0;
    return p;
}

int LTCFrameAnalyser::firstFrameOf (const Position& p)
{
    // Drop-frame timecode leaves out frames 0 and 1 at the start of every minute but each tenth.
    const int minute = p.second / 60;
    return (p.dropFrame && p.second % 60 == 0 && minute % 10 != 0) ? 2 : 0;
}

bool LTCFrameAnalyser::isNextSecond (int second, int previousSecond)
{
    return second == (previousSecond + 1) % secondsPerDay;
}

bool LTCFrameAnalyser::detectFps (int& rate, const LTCFrameExt& frame)
{
    const auto p = positionOf (frame);
    bool detected = false;

    if (p.second == watchedSecond)
    {
        if (p.frame != lastFrameSeen + 1 || frame.reverse)
            watchedWhole = false;
        lastFrameSeen = p.frame;
        return false;
    }

    if (watchedWhole && ! frame.reverse && isNextSecond (p.second, watchedSecond) && p.frame == firstFrameOf (p))
    {
        const int count = lastFrameSeen + 1;
        if (count == 24 || count == 25 || count == 30)
        {
            rate = count;
            detected = true;
        }
    }

    watchedSecond = p.second;
    lastFrameSeen = p.frame;
    watchedWhole = p.frame == firstFrameOf (p) && ! frame.reverse;
    return detected;
}

bool LTCFrameAnalyser::detectDiscontinuity (const LTCFrameExt& frame)
{
    const auto p = positionOf (frame);

    const bool sameSecondNext = p.second == previous.second && p.frame == previous.frame + 1;
    const bool nextSecondFirst = isNextSecond (p.second, previous.second) && p.frame == firstFrameOf (p);
    const bool follows = ! frame.reverse && (sameSecondNext || nextSecondFirst);

    previous = p;
    return ! follows;
}
