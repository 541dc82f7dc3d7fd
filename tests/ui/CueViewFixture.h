#pragma once

#include "document/Identifiers.h"
#include "model/CueList.h"
#include "time/TimeInfo.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "ui/kit/VantrelLookAndFeel.h"
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace test
{
struct CueSpec
{
    int number;
    const char* text;
    double startMs;
    double durationMs;
    juce::uint32 argb;
};

/** A "CueList" node with the given cues and frame rate, wrapped in a list without categories. */
inline std::shared_ptr<CueList> makeCueList (const std::vector<CueSpec>& cues, int fps = 25, bool timetable = false)
{
    juce::ValueTree node (IDs::CueList);
    node.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    node.setProperty (IDs::name, "Show", nullptr);
    node.setProperty (IDs::offset, "00:00:00:00", nullptr);
    node.setProperty (IDs::fps, fps, nullptr);
    if (timetable)
        node.setProperty (IDs::timetable, true, nullptr);
    juce::ValueTree cueNodes (IDs::Cues);
    for (const auto& c : cues)
    {
        juce::ValueTree cue (IDs::cue);
        cue.setProperty (IDs::id, juce::Uuid().toString(), nullptr);
        cue.setProperty (IDs::number, c.number, nullptr);
        cue.setProperty (IDs::text, c.text, nullptr);
        cue.setProperty (IDs::start, c.startMs, nullptr);
        cue.setProperty (IDs::duration, c.durationMs, nullptr);
        cue.setProperty (IDs::color, juce::Colour (c.argb).toString(), nullptr);
        cueNodes.appendChild (cue, nullptr);
    }
    node.appendChild (cueNodes, nullptr);
    return std::make_shared<CueList> (node, nullptr);
}

/** n cues one minute apart from 00:01:00, alternating two colours. */
inline std::shared_ptr<CueList> makeLongCueList (int n, int fps = 25)
{
    std::vector<CueSpec> cues;
    cues.reserve ((size_t) n);
    for (int i = 0; i < n; ++i)
        cues.push_back ({ i + 1, "Cue", 60000.0 * (i + 1), 30000.0, i % 2 == 0 ? 0xffcc3333u : 0xff3366ccu });
    return makeCueList (cues, fps);
}

/** The application's look-and-feel as the desktop default, and a temporary home. */
class GuiFixture : public ::testing::Test
{
protected:
    TempHome home;
    VantrelLookAndFeel lookAndFeel;

    GuiFixture() { juce::Desktop::getInstance().setDefaultLookAndFeel (&lookAndFeel); }
    ~GuiFixture() override { juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr); }
};

inline TimeInfo runningAt (int time, int fps = 25) { return { time, fps, true, false }; }

/** Colour distance good enough to tell two fills apart without asserting anti-aliasing. */
inline bool near (juce::Colour a, juce::Colour b, int tolerance = 12)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
           && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}
}
