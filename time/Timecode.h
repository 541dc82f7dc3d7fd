#pragma once

#include <juce_core/juce_core.h>

struct SMPTETimecode;

/** A position as hours, minutes, seconds and frames; converts to and from milliseconds at
    a frame rate and to and from the text form HH:MM:SS:FF. Fields are not range-checked. */
struct Timecode
{
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
    int32_t frames = 0;

    Timecode() = default;
    Timecode (int32_t h, int32_t m, int32_t s, int32_t f) : hours (h), minutes (m), seconds (s), frames (f) {}

    /** Hours wrap at 24; frames are rounded and may equal fps (nothing is carried). */
    static Timecode fromMillis (double ms, int fps);

    /** Frames beyond the last frame of a second count as the last frame. */
    double toMillis (int fps) const;

    /** Writes at least minFields fields (4 gives HH:MM:SS:FF); leading zero fields are left out. */
    juce::String toString (int minFields) const;

    static Timecode fromString (const juce::String& text);
    static Timecode fromSmpte (const SMPTETimecode& smpte);

    bool operator== (const Timecode& o) const
    {
        return hours == o.hours && minutes == o.minutes && seconds == o.seconds && frames == o.frames;
    }
    bool operator!= (const Timecode& o) const { return ! operator== (o); }
};
