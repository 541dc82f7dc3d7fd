#include "ui/kit/ColorPicker.h"

ColorPicker::ColorPicker()
{
    setColour (juce::ResizableWindow::backgroundColourId, juce::Colours::transparentBlack);

    hexLabel.setEditable (true, false, false);
    hexLabel.setJustificationType (juce::Justification::centred);
    hexLabel.setFont (hexLabel.getFont().boldened());
    hexLabel.setColour (juce::Label::outlineWhenEditingColourId, juce::Colours::transparentBlack);
    hexLabel.onTextChange = [this] { hexTextEdited(); };
    addAndMakeVisible (hexLabel);

    colourWheel.onColourChanged = [this] (juce::Colour c) { wheelMoved (c); };
    addAndMakeVisible (colourWheel);

    brightnessSlider.setColours ({ juce::Colours::black, currentColour });
    brightnessSlider.onValueChange = [this] { brightnessMoved(); };
    addAndMakeVisible (brightnessSlider);

    setSize (200, 325);
}

void ColorPicker::setColour (juce::Colour colour)
{
    currentColour = colour;
    showHexText();

    float h = 0.0f, s = 0.0f, v = 0.0f;
    colour.getHSB (h, s, v);
    colourWheel.setColour (colour);

    brightnessSlider.setColours ({ juce::Colours::black, juce::Colour (h, s, 1.0f, colour.getFloatAlpha()) });
    brightnessSlider.setValue (v);
    repaint();
}

void ColorPicker::setOpenedAbove (bool above)
{
    openedAbove = above;
    repaint();
    resized();
}

void ColorPicker::showHexText()
{
    hexLabel.setText (currentColour.toDisplayString (false), juce::dontSendNotification);
}

void ColorPicker::changed()
{
    if (onChange)
        onChange();
}

void ColorPicker::hexTextEdited()
{
    // Characters that are not hexadecimal digits (a leading "#") are skipped; the picked
    // colour is always opaque.
    setColour (juce::Colour ((juce::uint32) hexLabel.getText().getHexValue32() | 0xff000000u));
    changed();
}

void ColorPicker::wheelMoved (juce::Colour colour)
{
    brightnessSlider.setColours ({ juce::Colours::black, colour });
    currentColour = brightnessSlider.getColour();
    showHexText();
    repaint();
    changed();
}

void ColorPicker::brightnessMoved()
{
    currentColour = brightnessSlider.getColour();
    showHexText();
    repaint();
    changed();
}

void ColorPicker::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto m = juce::jmin (h, 50);
    const auto top = openedAbove ? 0 : m;
    const auto cw = juce::jmax (w - 10, 0);
    auto rest = juce::jmax (h - m, 0);

    const auto lh = juce::jmin (rest, 25);
    hexLabel.setBounds ((cw - 80) / 2 + 5, top + (lh - 30) / 2, 80, 30);

    const auto gap = juce::jmin (rest - lh, 10);
    rest -= lh + gap;

    const auto ws = juce::jmin (rest, cw);
    colourWheel.setBounds (5, top + lh + gap, cw, ws);
    brightnessSlider.setBounds (5, top + lh + gap + ws, cw, rest - ws);
}

void ColorPicker::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    g.fillAll (findColour (juce::ResizableWindow::backgroundColourId));

    const auto strip = juce::jmin (h, 50);
    const auto stripTop = openedAbove ? h - strip : 0;
    const juce::Rectangle<float> tag (10.0f, (float) stripTop + 10.0f, (float) juce::jmax (w - 20, 0),
                                      (float) juce::jmax (strip - 20, 0));
    const auto a = (float) juce::jmax (w - 20, 0) * 0.5f + 10.0f;
    const auto c = tag.getY();

    juce::Path outline;
    outline.startNewSubPath (tag.getBottomLeft());
    outline.lineTo (tag.getBottomRight());
    outline.lineTo (tag.getTopRight());
    outline.lineTo (a + 7.0f, c);
    outline.lineTo (a, c - 10.0f);
    outline.lineTo (a - 7.0f, c);
    outline.lineTo (tag.getTopLeft());
    outline.closeSubPath();

    if (openedAbove)
        outline.applyTransform (juce::AffineTransform::verticalFlip (2.0f * tag.getCentreY()));

    g.setColour (currentColour);
    g.fillPath (outline);
}
