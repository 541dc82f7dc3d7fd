#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** A small plus/minus control: "+" in the upper half, "-" in the lower. The half that was
    pressed lights up; the half the mouse is released over decides which callback runs. */
class AddSubtractComponent : public juce::Component
{
public:
    AddSubtractComponent() = default;

    std::function<void()> onAdd;
    std::function<void()> onSubtract;

    enum Pressed { none = 0, upper = 1, lower = 2 };
    int getPressed() const { return pressed; }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    int pressed = none;

    bool inUpperHalf (const juce::MouseEvent& e) const { return e.y < getHeight() / 2; }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AddSubtractComponent)
};
