#pragma once

#include <ltc.h>

/** The two checks the LTC reader makes on every decoded frame: which frame rate the signal
    carries, and whether a frame continues the one before it. Each reader owns one analyser;
    all state lives here. */
class LTCFrameAnalyser
{
public:
    /** Watches the frame numbers within each second. When a second was seen whole (from its
        first frame, without a gap) and the next second starts right after it, the number of
        frames it held is the rate: 24, 25 or 30. Returns true and sets rate only then, so a
        rate is reported about once a second; other counts are never reported. */
    bool detectFps (int& rate, const LTCFrameExt& frame);

    /** True when the frame is not the one that follows the previous frame: the next frame of
        the same second, or the first frame of the next second (wrapping at 24 h; drop-frame
        timecode skips frames 0 and 1 where it should). A frame played in reverse is always a
        discontinuity. The frame becomes the previous one either way. Before the first frame
        the previous one is 00:00:00:00. */
    bool detectDiscontinuity (const LTCFrameExt& frame);

private:
    struct Position
    {
        int second = 0; // seconds since midnight
        int frame = 0;
        bool dropFrame = false;
    };

    static Position positionOf (const LTCFrameExt& frame);
    static int firstFrameOf (const Position& position);
    static bool isNextSecond (int second, int previousSecond);

    Position previous;

    // The second whose frames are being counted.
    int watchedSecond = -1;
    int lastFrameSeen = 0;
    bool watchedWhole = false;
};
