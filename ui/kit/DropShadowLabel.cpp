#include "ui/kit/DropShadowLabel.h"

DropShadowLabel::DropShadowLabel() = default;

void DropShadowLabel::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds();
    const auto justification = getJustificationType();

    g.setFont (getFont());
    shadow.paintTextShadow (g, getText(), bounds.toFloat(), justification);

    g.setColour (findColour (juce::Label::textColourId));
    g.drawText (getText(), bounds, justification, false);
}
