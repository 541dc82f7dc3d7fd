#pragma once

#include "time/TimeInfo.h"
#include <juce_graphics/juce_graphics.h>
#include <map>
#include <memory>
#include <vector>

class Category;
class Cue;
class CueList;
class LiveWaveform;

/** The JSON texts a web-client server sends to browsers, built from what the caller hands
    in: the live list and the cues its mask lets through, the time, the waveform, the name.
    Knows no socket, server or controller. Message thread, like the model it reads. */
class WebClientMessages
{
public:
    /** The cues one server follows, in the list's order. */
    using TrackedCues = std::vector<std::weak_ptr<Cue>>;
    /** Categories by uuid text: the order browsers get them in. */
    using LinkedCategories = std::map<juce::String, std::shared_ptr<Category>>;

    /** The list's cues whose display colour the mask does not hide; none without a list. */
    static TrackedCues visibleCues (const CueList* list, const juce::Array<juce::Colour>& maskedColours);

    /** Each category that a tracked cue links to, once. */
    static LinkedCategories linkedCategories (const TrackedCues& cues);

    /** "misc": the server's name, void when its node has none. */
    static juce::String misc (const juce::var& name);

    /** "category": one category's colour. */
    static juce::String category (const Category& category);

    /** "waveform": the current length and pair count, with the peaks a server stored last
        (void while it never stored any). */
    static juce::String waveform (const LiveWaveform& current, const juce::var& storedPeaks);

    /** The peaks as a server stores them for "waveform". */
    static juce::var toPeakData (const juce::Array<int>& peaks);

    /** "time": the time, moved a day on while the tracked cues run past midnight and have not
        reached their end, and the index of the next cue. The hint is the caller's previous
        index; the new one is stored in it. */
    static juce::String time (const TimeInfo& info, const TrackedCues& cues, int& cueIndexHint);

    /** "cuelist": the list and its tracked cues; the empty text without a list. */
    static juce::String cueList (const CueList* list, const TrackedCues& cues, const LinkedCategories& categories);

    /** "#" and red, green, blue, alpha as two lower-case hexadecimal digits each. */
    static juce::String toWebColour (juce::uint32 argb);

    WebClientMessages() = delete;
};
