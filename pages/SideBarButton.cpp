#include "pages/SideBarButton.h"

SideBarButton::SideBarButton (const juce::String& title, const juce::Path& iconPath)
    : juce::TextButton (title), icon (iconPath)
{
}

void SideBarButton::resized()
{
    const auto w = (float) getWidth(), h = (float) getHeight();

    background.clear();
    background.addRoundedRectangle (10.0f, 0.0f, w - 10.0f, h, 5.0f, 5.0f, true, false, true, false);

    // A 5 px bar over the left edge of the background, its left corners rounded.
    const auto r = juce::jmin (h / 2.0f, 5.0f);
    selectionMark.clear();
    selectionMark.startNewSubPath (10.0f, r);
    selectionMark.cubicTo (10.0f, 0.45f * r, 11.125f, 0.0f, 12.5f, 0.0f);
    selectionMark.lineTo (15.0f, 0.0f);
    selectionMark.lineTo (15.0f, h);
    selectionMark.lineTo (12.5f, h);
    selectionMark.cubicTo (11.125f, h, 10.0f, h - 0.45f * r, 10.0f, h - r);
    selectionMark.closeSubPath();
}

void SideBarButton::paintButton (juce::Graphics& g, bool highlighted, bool)
{
    const auto w = getWidth(), h = getHeight();
    const auto selected = getToggleState();

    auto fill = findColour (juce::ResizableWindow::backgroundColourId);
    if (highlighted)
        fill = fill.brighter (0.01f);
    if (selected)
        fill = juce::Colour (selectedFill);
    g.setColour (fill);
    g.fillPath (background);

    if (selected)
    {
        g.setColour (findColour (juce::TextButton::buttonOnColourId));
        g.fillPath (selectionMark);
    }

    g.setColour (juce::Colours::white);
    const auto iconWidth = juce::jmin (w, 48);
    const juce::Rectangle<float> iconArea (8.0f, 9.0f, (float) juce::jmax (0, iconWidth), (float) juce::jmax (0, h - 18));
    if (! icon.isEmpty() && ! iconArea.isEmpty())
        g.fillPath (icon, icon.getTransformToScaleToFit (iconArea, true, juce::Justification::centred));

    g.setFont (juce::Font (18.0f, selected ? juce::Font::bold : juce::Font::plain));
    g.drawText (getButtonText(), juce::Rectangle<int> (iconWidth, 0, w - iconWidth, h), juce::Justification::centredLeft, false);
}
