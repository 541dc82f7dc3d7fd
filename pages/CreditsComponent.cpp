#include "pages/CreditsComponent.h"

#include "BinaryData.h"

namespace
{
void showLogo (juce::DrawableButton& button, const void* svgData, int numBytes)
{
    if (auto logo = juce::Drawable::createFromImageData (svgData, (size_t) numBytes))
        button.setImages (logo.get());
}
}

CreditsComponent::CreditsComponent()
{
    showLogo (firstLogo, BinaryData::quenmarkLogo_svg, BinaryData::quenmarkLogo_svgSize);
    showLogo (secondLogo, BinaryData::talvenorLogo_svg, BinaryData::talvenorLogo_svgSize);
    addAndMakeVisible (firstLogo);
    addAndMakeVisible (secondLogo);
}

juce::String CreditsComponent::acknowledgement()
{
    return "Thank you to everyone who helped build, test and run Vantrel on real shows, and to the companies below.";
}

void CreditsComponent::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    g.setFont (20.0f);
    g.setColour (juce::Colours::white);
    g.drawFittedText (acknowledgement(),
                      juce::Rectangle<int> (10, 10, juce::jmax (0, w - 20), juce::jmin (juce::jmax (0, h - 20), 50)),
                      juce::Justification::topLeft, 99, 1.0f);
}

void CreditsComponent::resized()
{
    const auto b = juce::jmax (0, getHeight() - 20);
    const auto t = juce::jmin (b, 60);

    juce::FlexBox row;
    row.items.add (juce::FlexItem (secondLogo).withFlex (1.0f));
    row.items.add (juce::FlexItem (firstLogo).withFlex (1.0f));
    row.performLayout (juce::Rectangle<int> (0, t + 10, getWidth() / 2, juce::jmin (b - t, 50)));
}
