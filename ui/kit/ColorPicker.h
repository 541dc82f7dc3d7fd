#pragma once

#include "ui/kit/ColorWheel.h"
#include "ui/kit/GradientSlider.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

/** Picks one colour: a tag in the colour with a pointer towards what opened it, the colour as
    editable hexadecimal text, a hue and saturation wheel and a brightness strip. */
class ColorPicker : public juce::Component
{
public:
    ColorPicker();

    /** Run after the user changed the colour (never by setColour). */
    std::function<void()> onChange;

    using juce::Component::setColour;
    /** Shows the colour everywhere; does not run onChange. */
    void setColour (juce::Colour colour);
    juce::Colour getColour() const { return currentColour; }

    /** The tag's pointer faces down when the picker opened above what it points at. */
    void setOpenedAbove (bool above);
    bool isOpenedAbove() const { return openedAbove; }

    juce::Label& getHexLabel() { return hexLabel; }
    ColorWheel& getWheel() { return colourWheel; }
    GradientSlider& getBrightnessSlider() { return brightnessSlider; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::Colour currentColour { 0 };
    juce::Label hexLabel;
    ColorWheel colourWheel;
    GradientSlider brightnessSlider;
    bool openedAbove = false;

    void hexTextEdited();
    void wheelMoved (juce::Colour colour);
    void brightnessMoved();
    void showHexText();
    void changed();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColorPicker)
};
