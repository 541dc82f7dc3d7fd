#include "ui/kit/AddButton.h"

#include "BinaryData.h"

AddButton::AddButton()
    : juce::Button ("AddButton")
{
    setName ("Add");
    if (auto drawable = juce::Drawable::createFromImageData (BinaryData::New_svg, (size_t) BinaryData::New_svgSize))
        icon = drawable->getOutlineAsPath();
    setColour (juce::TextButton::buttonColourId, juce::Colours::white);
}

void AddButton::paintButton (juce::Graphics& g, bool highlighted, bool)
{
    const auto w = getWidth(), h = getHeight();

    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 4.0f);

    auto colour = findColour (juce::TextButton::buttonColourId);
    if (highlighted)
        colour = colour.brighter (0.1f);
    g.setColour (colour);

    const auto f = juce::jmin (w, h);
    const juce::Rectangle<float> iconArea (8.0f, 8.0f, (float) juce::jmax (f - 16, 0), (float) juce::jmax (h - 16, 0));
    if (! icon.isEmpty() && ! iconArea.isEmpty())
        g.fillPath (icon, icon.getTransformToScaleToFit (iconArea, true, juce::Justification::centred));

    g.setFont ((float) h * 0.6f);
    g.drawText (getName(), juce::Rectangle<int> (f - 2, 0, w - f, h), juce::Justification::left, false);
}
