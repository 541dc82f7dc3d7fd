#include "ui/kit/LineComponent.h"

void LineComponent::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0x19c4c4c4), bounds.getCentre(),
                                             juce::Colour (0x00c4c4c4), bounds.getBottomRight(), true));
    g.fillAll();
}
