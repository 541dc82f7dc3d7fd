#pragma once

#include "document/Identifiers.h"
#include <juce_data_structures/juce_data_structures.h>

namespace test
{
/** A "CueList" node whose range is {start, end}: its "start" and one zero-length cue at end
    (or, for a timetable, one cue spanning the range). */
inline juce::ValueTree listNode (const juce::String& name, int start, int end, bool timetable = false,
                                 const juce::String& uuid = juce::Uuid().toString())
{
    juce::ValueTree list (IDs::CueList);
    list.setProperty (IDs::uuid, uuid, nullptr);
    list.setProperty (IDs::name, name, nullptr);
    list.setProperty (IDs::offset, "00:00:00:00", nullptr);
    list.setProperty (IDs::fps, timetable ? 1000 : 25, nullptr);
    if (timetable)
        list.setProperty (IDs::timetable, true, nullptr);
    else
        list.setProperty (IDs::start, (double) start, nullptr);

    juce::ValueTree cue (IDs::cue);
    cue.setProperty (IDs::start, timetable ? start : end, nullptr);
    cue.setProperty (IDs::duration, timetable ? end - start : 0, nullptr);
    juce::ValueTree cues (IDs::Cues);
    cues.appendChild (cue, nullptr);
    list.appendChild (cues, nullptr);
    return list;
}
}
