#pragma once

#include "model/Cue.h"

/** A cue of the timetable: its start and end are times of day, and its progress and its
    test for lying ahead run over its own span, wrapping at midnight. */
class TimetableCue : public Cue
{
public:
    TimetableCue (juce::ValueTree node, CategoryManager* categories) : Cue (node, categories) {}

    float getProgress (int time, juce::Range<int> span) const override;
    bool isAfter (int time, juce::Range<int> span) const override;
};
