#include "ui/kit/MaskComponent.h"

MaskComponent::MaskComponent (juce::Path path)
    : maskPath (std::move (path))
{
    setInterceptsMouseClicks (false, false);
}

void MaskComponent::setShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread)
{
    shadow = melatonin::DropShadow (colour, radius, offset, spread);
    repaint();
}

void MaskComponent::paint (juce::Graphics& g)
{
    shadow.paintPathShadow (g, maskPath);
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillPath (maskPath);
}
