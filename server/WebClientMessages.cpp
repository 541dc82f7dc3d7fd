#include "server/WebClientMessages.h"

#include "document/Identifiers.h"
#include "model/Category.h"
#include "model/CueList.h"
#include "model/DefaultsManager.h"
#include "server/JsonWriter.h"
#include "server/LiveWaveform.h"
#include "time/Timecode.h"
#include "time/WholeMillis.h"

namespace
{
constexpr double dayMs = 86400000.0;

juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> members)
{
    auto* object = new juce::DynamicObject();
    for (const auto& [name, value] : members)
        object->setProperty (name, value);
    return juce::var (object);
}

/** The first tracked cue that still exists, and the last one. */
std::pair<std::shared_ptr<Cue>, std::shared_ptr<Cue>> firstAndLast (const WebClientMessages::TrackedCues& cues)
{
    std::shared_ptr<Cue> first, last;
    for (const auto& weak : cues)
        if (auto cue = weak.lock())
        {
            if (first == nullptr)
                first = cue;
            last = cue;
        }
    return { first, last };
}
}

WebClientMessages::TrackedCues WebClientMessages::visibleCues (const CueList* list, const juce::Array<juce::Colour>& maskedColours)
{
    TrackedCues visible;
    if (list == nullptr)
        return visible;
    for (const auto& cue : list->getCues())
        if (cue != nullptr && ! maskedColours.contains (cue->getDisplayColor()))
            visible.push_back (cue);
    return visible;
}

WebClientMessages::LinkedCategories WebClientMessages::linkedCategories (const TrackedCues& cues)
{
    LinkedCategories linked;
    for (const auto& weak : cues)
    {
        auto cue = weak.lock();
        auto category = cue != nullptr ? cue->getCategory() : nullptr;
        if (category != nullptr)
            linked.emplace (category->getUuid(), category); // the first one of a uuid stays
    }
    return linked;
}

juce::String WebClientMessages::toWebColour (juce::uint32 argb)
{
    auto hex = [] (juce::uint32 v) { return juce::String::toHexString (static_cast<int> (v & 0xff)).paddedLeft ('0', 2); };
    return "#" + hex (argb >> 16) + hex (argb >> 8) + hex (argb) + hex (argb >> 24);
}

juce::String WebClientMessages::misc (const juce::var& name)
{
    return JsonWriter::toString (makeObject ({ { "type", "misc" },
                                               { "version", JUCE_APPLICATION_VERSION_STRING },
                                               { "name", name } }));
}

juce::String WebClientMessages::category (const Category& c)
{
    return JsonWriter::toString (makeObject ({ { "type", "category" },
                                               { "uuid", c.getUuid() },
                                               { "displayColor", toWebColour (c.getColor().getARGB()) } }));
}

juce::var WebClientMessages::toPeakData (const juce::Array<int>& peaks)
{
    juce::Array<juce::var> data;
    data.ensureStorageAllocated (peaks.size());
    for (auto value : peaks)
        data.add (value);
    return data;
}

juce::String WebClientMessages::waveform (const LiveWaveform& current, const juce::var& storedPeaks)
{
    return JsonWriter::toString (makeObject ({ { "type", "waveform" },
                                               { "duration", static_cast<double> (current.getLength()) },
                                               { "length", current.getPeaks().size() / 2 },
                                               { "data", storedPeaks } }));
}

juce::String WebClientMessages::time (const TimeInfo& info, const TrackedCues& cues, int& cueIndexHint)
{
    const auto t = static_cast<double> (info.time);
    const auto [first, last] = firstAndLast (cues);

    auto millis = static_cast<juce::int64> (info.time);
    int cueIndex = -1;
    if (first != nullptr)
    {
        // Cues that run past midnight: before their end the time belongs to the next day.
        const auto firstStart = first->getRange().getStart();
        const auto lastEnd = last->getRange().getEnd();
        if (firstStart > lastEnd && lastEnd > t)
            millis += static_cast<juce::int64> (dayMs);
        cueIndex = CueList::getNextCueIndex (info.time, cues, cueIndexHint);
        cueIndexHint = cueIndex;
    }

    return JsonWriter::toString (makeObject ({ { "type", "time" },
                                               { "millis", millis },
                                               { "fps", info.fps },
                                               { "isRunning", info.running },
                                               { "cueIndex", cueIndex } }));
}

juce::String WebClientMessages::cueList (const CueList* list, const TrackedCues& cues, const LinkedCategories& categories)
{
    if (list == nullptr)
        return {};

    // A list without a usable rate counts as 30 fps wherever the rate enters arithmetic.
    const int fps = DefaultsManager::usableFps (list->getFps());
    const auto offset = toWholeMillis (Timecode::fromString (list->getStartTimecode()).toMillis (fps));
    const auto range = list->getRange();

    const auto first = firstAndLast (cues).first;
    const double firstStart = first != nullptr ? first->getRange().getStart() : 0.0;

    juce::Array<juce::var> cueObjects;
    for (const auto& weak : cues)
    {
        auto cue = weak.lock();
        if (cue == nullptr)
            continue; // removed before the list reported it
        auto r = cue->getRange();
        // A timetable that runs past midnight: the cues after it come after the ones before.
        if (list->isTimetable() && firstStart > r.getStart())
            r += dayMs;
        auto linked = cue->getCategory();
        cueObjects.add (makeObject ({ { "number", cue->getNumber() },
                                      { "name", cue->getTree()[IDs::text].toString() },
                                      { "start", r.getStart() },
                                      { "duration", r.getLength() },
                                      { "category", linked != nullptr ? linked->getUuid() : juce::String() } }));
    }

    juce::Array<juce::var> categoryObjects;
    for (const auto& [uuid, linked] : categories)
        categoryObjects.add (makeObject ({ { "uuid", uuid }, { "displayColor", toWebColour (linked->getColor().getARGB()) } }));

    return JsonWriter::toString (makeObject ({ { "type", "cuelist" },
                                               { "name", list->getName() },
                                               { "timetable", list->isTimetable() },
                                               { "offset", offset },
                                               { "fps", list->getFps() },
                                               { "duration", range.getLength() },
                                               { "cues", cueObjects.isEmpty() ? juce::var() : juce::var (cueObjects) },
                                               { "categories", categoryObjects.isEmpty() ? juce::var() : juce::var (categoryObjects) } }));
}
