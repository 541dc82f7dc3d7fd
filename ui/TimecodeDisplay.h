#pragma once

#include "time/TimeInfo.h"
#include "ui/FpsSelectionComponent.h"
#include "ui/TimeDriverSelectionComponent.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The large clock of the show screen: HH:MM:SS:FF (HH:MM:SS on the computer's clock) with
    captions, dimmed while time stands still, the driver buttons above, the frame-rate column to
    the right and an activity icon to the left that lights for 100 ms on an interrupted signal. */
class TimecodeDisplay : public juce::Component, private juce::Timer, private juce::AsyncUpdater
{
public:
    TimecodeDisplay();
    ~TimecodeDisplay() override;

    void setTime (const TimeInfo& info);

    /** Lights the activity icon for 100 ms. Callable from any thread without waiting: off the
        message thread it only posts. */
    void flash();

    FpsSelectionComponent fpsSelector;
    TimeDriverSelectionComponent driverSelector;

    const juce::String& getText() const { return text; }
    const juce::GlyphArrangement& getGlyphs() const { return glyphs; }
    const SvgButton& getActivityIcon() const { return activityIcon; }
    /** The digit height for the current width. */
    float getDigitHeight() const;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void timerCallback() override;
    void handleAsyncUpdate() override;
    void lightActivityIcon();

    juce::Font getDigitFont() const;
    void layoutText (const juce::String& timeText, bool clockMode);
    /** Where two layouts of the same text length differ; all of the display when the glyphs
        moved. */
    juce::Rectangle<int> changedGlyphArea (const juce::GlyphArrangement& before,
                                           const juce::GlyphArrangement& after) const;

    juce::GlyphArrangement glyphs;
    SvgButton activityIcon;
    juce::String text;

    static constexpr int flashMs = 100;
    double litUntil = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimecodeDisplay)
};
