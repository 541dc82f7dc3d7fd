#include "ui/ColorMaskButton.h"

#include "BinaryData.h"

namespace
{
juce::Path outlineOf (const char* data, int size)
{
    if (auto drawable = juce::Drawable::createFromImageData (data, (size_t) size))
        return drawable->getOutlineAsPath();
    return {};
}
}

ColorMaskButton::ColorMaskButton (std::shared_ptr<Category> c)
    : juce::Button ("ColorMaskButton"),
      category (std::move (c)),
      eyeIcon (outlineOf (BinaryData::eyesolid_svg, BinaryData::eyesolid_svgSize)),
      crossedEyeIcon (outlineOf (BinaryData::eyeslashsolid_svg, BinaryData::eyeslashsolid_svgSize))
{
    category->addListener (this);
    setButtonText (category->getName());
    takeColour();
    setColour (juce::TextButton::textColourOffId, juce::Colours::white.withAlpha ((juce::uint8) 89));
    setClickingTogglesState (true);
}

ColorMaskButton::~ColorMaskButton()
{
    category->removeListener (this);
}

void ColorMaskButton::takeColour()
{
    const auto colour = category->getColor();
    setColour (juce::TextButton::buttonColourId,
               colour.withBrightness (0.25f).withAlpha (colour.isTransparent() ? 0.0f : 1.0f));
    setColour (juce::TextButton::buttonOnColourId, colour);
}

void ColorMaskButton::categoryColorChanged()
{
    takeColour();
    if (onColourChanged)
        onColourChanged();
}

void ColorMaskButton::categoryNameChanged()
{
    setButtonText (category->getName());
}

void ColorMaskButton::paintButton (juce::Graphics& g, bool, bool)
{
    const int w = getWidth();
    const int h = getHeight();
    const bool on = getToggleState();

    g.setColour (findColour (on ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId));

    const auto& icon = on ? eyeIcon : crossedEyeIcon;
    const juce::Rectangle<float> iconArea (8.0f, 0.0f, (float) juce::jmax (0, juce::jmin (w, 30) - 16),
                                           (float) juce::jmax (0, h));
    if (! icon.isEmpty() && ! iconArea.isEmpty())
        g.fillPath (icon, icon.getTransformToScaleToFit (iconArea, true, juce::Justification::centred));

    g.setFont (g.getCurrentFont().withHeight (0.55f * (float) h));
    g.drawText (getButtonText(), juce::Rectangle<int> (45, 0, juce::jmax (0, w - 45), h),
                juce::Justification::centredLeft, false);

    const int barX = juce::jmin (w, 30);
    g.setColour (findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId));
    g.fillRect (barX, 5, juce::jmax (0, juce::jmin (w - barX, 5)), juce::jmax (0, h - 10));
}
