#include "ui/kit/DropShadowLabel.h"

DropShadowLabel::DropShadowLabel() = default;

void DropShadowLabel::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds();
    const auto placement = getJustificationType();

    g.setFont (getFont());
    shadow.paintTextShadow (g, getText(), bounds.toFloat(), placement);

    g.setColour (findColour (juce::Label::textColourId));
    g.drawText (getText(), bounds, placement, false);
}
