#include "ui/kit/NonMouseOverTextButton.h"

void NonMouseOverTextButton::paintButton (juce::Graphics& g, bool, bool)
{
    auto& lf = getLookAndFeel();
    const auto colour = findColour (getToggleState() ? buttonOnColourId : buttonColourId);
    lf.drawButtonBackground (g, *this, colour, false, false);
    lf.drawButtonText (g, *this, false, false);
}
