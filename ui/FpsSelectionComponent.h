#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** The column of frame rates (24, 25, 30) beside the clock digits. It stores nothing: a click
    reports the rate through onFpsSelected, and the owner feeds the current rate back. */
class FpsSelectionComponent : public juce::Component
{
public:
    FpsSelectionComponent() = default;

    std::function<void (int)> onFpsSelected;

    /** Any value is taken; one that matches no row (1000 on the computer's clock) lights none. */
    void setFps (int newFps);
    int getFps() const { return fps; }

    /** Row i's area: a fifth of the height, starting 1.1 rows down; rows 0..2 are 24, 25, 30. */
    juce::Rectangle<int> getRowBounds (int row) const;
    static constexpr int rates[] = { 24, 25, 30 };

    void mouseUp (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;

private:
    int fps = 30;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FpsSelectionComponent)
};
