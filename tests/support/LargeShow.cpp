#include "support/LargeShow.h"

#include "document/Identifiers.h"

namespace test
{
namespace
{
juce::String timecodeOf (juce::int64 ms, int fps)
{
    const auto frames = (int) ((ms % 1000) * fps / 1000);
    const auto seconds = ms / 1000;
    return juce::String::formatted ("%02d:%02d:%02d:%02d", (int) (seconds / 3600 % 24), (int) (seconds / 60 % 60),
                                    (int) (seconds % 60), frames);
}
}

juce::ValueTree makeLargeShow (int cues, int cuesPerList)
{
    static const char* colours[] = { "ff3fb6dc", "ffcfb228", "ff7540ee", "ff26d256", "ffff7052", "ffd52f3f", "ff2f61d5" };
    static const char* words[] = { "Intro", "Blackout", "Strobe", "Verse", "Chorus", "Fog", "Spot on singer", "Confetti",
                                   "Bridge", "Encore" };
    juce::Random random (31);
    const auto uuid = [&random]
    {
        juce::String s;
        for (int i = 0; i < 4; ++i)
            s << juce::String::toHexString ((int) random.nextInt()).paddedLeft ('0', 8);
        return s;
    };

    juce::ValueTree root (IDs::Vantrel);
    root.setProperty (IDs::version, "1.1.0.643", nullptr);
    root.appendChild (juce::ValueTree (IDs::Settings), nullptr);
    juce::ValueTree lists (IDs::CueLists);
    root.appendChild (lists, nullptr);

    for (int made = 0, listNumber = 1; made < cues; ++listNumber)
    {
        const bool imported = listNumber % 2 == 1;
        juce::ValueTree list (IDs::CueList);
        list.setProperty (IDs::uuid, uuid(), nullptr)
            .setProperty (IDs::name, "Act " + juce::String (listNumber), nullptr)
            .setProperty (IDs::offset, "00:00:00:00", nullptr)
            .setProperty (IDs::fps, 25, nullptr);
        if (imported)
            list.setProperty (IDs::file, "/home/show/exports/Act " + juce::String (listNumber) + ".csv", nullptr);
        juce::ValueTree listCues (IDs::Cues);
        juce::int64 start = (juce::int64) listNumber * 3'600'000;
        for (int i = 0; i < cuesPerList && made < cues; ++i, ++made)
        {
            start += 1000 + random.nextInt (60'000);
            juce::ValueTree cue (IDs::cue);
            cue.setProperty (IDs::id, uuid(), nullptr)
                .setProperty (IDs::number, i + 1, nullptr)
                .setProperty (IDs::text, juce::String (words[random.nextInt (10)]) + " " + juce::String (i + 1), nullptr);
            if (imported)
                cue.setProperty (IDs::tc, timecodeOf (start, 25), nullptr)
                    .setProperty (IDs::color, colours[random.nextInt (7)], nullptr)
                    .setProperty (IDs::start, (double) start, nullptr);
            else
                cue.setProperty (IDs::start, start, nullptr)
                    .setProperty (IDs::duration, 0, nullptr)
                    .setProperty (IDs::color, colours[random.nextInt (7)], nullptr);
            listCues.appendChild (cue, nullptr);
        }
        list.appendChild (listCues, nullptr);
        lists.appendChild (list, nullptr);
    }

    root.appendChild (juce::ValueTree (IDs::Servers).setProperty (IDs::IP, "0.0.0.0", nullptr), nullptr);
    root.appendChild (juce::ValueTree (IDs::Categories), nullptr);
    root.appendChild (juce::ValueTree (IDs::ColorMask), nullptr);
    return root;
}
}
