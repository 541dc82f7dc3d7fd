#pragma once

#include "model/Cue.h"
#include "time/TimeInfo.h"
#include "ui/kit/DropShadowLabel.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** One cue row: number, name and a time field (the start timecode, or a countdown while the
    time runs) on a rounded background in the cue's colour. A bar fills during the last 3 s
    before the cue; once the cue has passed the row dims. */
class CueComponent : public juce::Component, private Cue::Listener
{
public:
    CueComponent();
    ~CueComponent() override;

    /** Shows the cue; the same cue again changes nothing. */
    virtual void setCue (std::shared_ptr<Cue> newCue);
    virtual bool isTimetable() const { return false; }
    virtual void makeTimesEditable() {}

    /** Lets the name be edited by double click; a loss of focus discards the edit. The
        typed name goes to onEdited. */
    void makeNameEditable (std::function<void (const juce::String&)> onEdited);
    bool isNameEditable() const { return nameEditable; }

    /** The rate the start time is written at. A new rate rewrites the start time at once. */
    void setFps (int newFps);
    int getFps() const { return fps; }

    /** The per-time refresh: progress, countdown and dimming. */
    void update (const TimeInfo& info, juce::Range<int> span);

    std::shared_ptr<Cue> getCue() const { return cue.lock(); }
    float getProgress() const { return progress; }
    bool isFinished() const { return finished; }

    const juce::Label& getNumberLabel() const { return numberLabel; }
    const juce::Label& getNameLabel() const { return nameLabel; }
    const juce::Label& getTimeLabel() const { return timeLabel; }
    juce::Label& getNumberLabel() { return numberLabel; }
    juce::Label& getNameLabel() { return nameLabel; }
    juce::Label& getTimeLabel() { return timeLabel; }

    void paint (juce::Graphics& g) override;
    void resized() override;

protected:
    virtual void drawProgress (juce::Graphics& g, juce::Rectangle<float> area);
    /** Where the bar's drawing can differ between the two progress values. A row that draws its
        bar another way overrides this with the area its own bar changes in. */
    virtual juce::Rectangle<int> getChangedProgressArea (float from, float to) const;
    /** Places the number at the left of r and takes its width off r. */
    virtual void layoutNumber (juce::Rectangle<int>& r);
    virtual juce::String getTimeText (const TimeInfo& info) const;
    virtual void updateTimeVisibility();

    // Cue::Listener
    void cueTextChanged() override;
    void cueDisplayColorChanged() override;
    void cueTimeChanged (Cue*, bool resort) override;

    std::weak_ptr<Cue> cue;
    bool nameEditable = false;
    float progress = 0.0f;
    bool finished = false;
    DropShadowLabel numberLabel, nameLabel, timeLabel;
    float barWidth = 10.0f;
    int fps = 30;
    juce::Path background;

private:
    static void setFontIfDifferent (juce::Label& label, const juce::Font& font);
    static void setAlphaIfDifferent (juce::Component& c, float alpha);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueComponent)
};
