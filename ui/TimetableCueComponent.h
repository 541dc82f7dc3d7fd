#pragma once

#include "ui/CueComponent.h"
#include <optional>

/** The row of a timetable cue: its start (HH:MM) where plain rows have the number, its end
    (HH:MM) in the time field, and while the cue runs a countdown to its end over a bar that
    shrinks from the left. Once editable, start and end take typed times of day. */
class TimetableCueComponent : public CueComponent
{
public:
    TimetableCueComponent() = default;

    bool isTimetable() const override { return true; }
    void makeTimesEditable() override;

    /** The milliseconds of a time of day typed as H:MM or HH:MM (hours 0 to 23, minutes 0 to
        59); nothing for any other text. */
    static std::optional<double> parseTimeOfDay (const juce::String& text, int fps);

protected:
    void drawProgress (juce::Graphics& g, juce::Rectangle<float> area) override;
    juce::Rectangle<int> getChangedProgressArea (float from, float to) const override;
    void layoutNumber (juce::Rectangle<int>& r) override;
    juce::String getTimeText (const TimeInfo& info) const override;
    void updateTimeVisibility() override;

    void cueTimeChanged (Cue*, bool resort) override;

private:
    /** Writes the typed start and end into the cue, inside the transaction the caller opened.
        Text that is no time of day changes nothing and the labels show the cue's times again. */
    void applyEditedTimes();
    void showTimes();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimetableCueComponent)
};
