#include "ui/kit/CueContainer.h"

CueContainer::CueContainer()
{
    // Side 20, pointing down, centred on the origin.
    const auto half = 10.0f * std::sqrt (3.0f) * 0.5f;
    marker.addTriangle (-10.0f, -half, 10.0f, -half, 0.0f, half);
}

void CueContainer::setMarkerY (int y)
{
    markerY = y;
    repaint();
}

void CueContainer::paint (juce::Graphics& g)
{
    if (markerY == 0)
        return;

    g.setColour (findColour (juce::TextButton::buttonOnColourId));
    g.fillPath (marker, juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi)
                            .translated (5.0f, (float) markerY));
    g.fillRect (0, markerY - 1, getWidth(), 2);
}
