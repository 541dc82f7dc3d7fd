#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** A thin horizontal strip over a colour gradient with a round thumb; the value (0 to 1) is
    the thumb's place along the strip. The colour picker uses it for the brightness. */
class GradientSlider : public juce::Component
{
public:
    GradientSlider();

    /** Run after the user moved the thumb. */
    std::function<void()> onValueChange;

    /** The gradient's stops, evenly spread from left to right (at least two colours). */
    void setColours (const juce::Array<juce::Colour>& newColours);
    const juce::Array<juce::Colour>& getColours() const { return colours; }

    /** Moves the thumb without calling onValueChange. */
    void setValue (float newValue);
    float getValue() const { return value; }

    /** The gradient's colour at the value. */
    juce::Colour getColour() const;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::Array<juce::Colour> colours;
    juce::ColourGradient gradient;
    float value = 0.0f;
    float thumbSize = 0.0f;

    void updateGradient();
    void setValueFromMouse (const juce::MouseEvent& e);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GradientSlider)
};
