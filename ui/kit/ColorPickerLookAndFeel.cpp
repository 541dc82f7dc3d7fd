#include "ui/kit/ColorPickerLookAndFeel.h"

ColorPickerLookAndFeel::ColorPickerLookAndFeel()
{
    const auto window = juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId);
    setColour (juce::PopupMenu::backgroundColourId, window.withAlpha ((juce::uint8) 0xd9));
}

juce::Colour ColorPickerLookAndFeel::getMenuBackground() const
{
    const auto colour = findColour (juce::PopupMenu::backgroundColourId);
    return juce::Desktop::canUseSemiTransparentWindows() ? colour : colour.withAlpha ((juce::uint8) 0xff);
}

void ColorPickerLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (getMenuBackground());
}
