#include "ui/kit/GradientSlider.h"

GradientSlider::GradientSlider()
{
    setColours ({ juce::Colours::black, juce::Colours::white });
}

void GradientSlider::setColours (const juce::Array<juce::Colour>& newColours)
{
    colours = newColours;
    updateGradient();
    repaint();
}

void GradientSlider::updateGradient()
{
    gradient = juce::ColourGradient();
    gradient.point1 = { 0.0f, 0.0f };
    gradient.point2 = { (float) getWidth(), 0.0f };
    gradient.isRadial = false;
    const auto last = colours.size() - 1;
    for (int i = 0; i <= last; ++i)
        gradient.addColour (last > 0 ? (double) i / (double) last : 0.0, colours.getReference (i));
}

void GradientSlider::setValue (float newValue)
{
    value = newValue;
    repaint();
}

juce::Colour GradientSlider::getColour() const
{
    return gradient.getColourAtPosition ((double) value);
}

void GradientSlider::setValueFromMouse (const juce::MouseEvent& e)
{
    const auto width = (float) juce::jmax (1, getWidth());
    value = juce::jlimit (0.0f, 1.0f, e.position.x / width);
    repaint();
    if (onValueChange)
        onValueChange();
}

void GradientSlider::mouseDown (const juce::MouseEvent& e) { setValueFromMouse (e); }
void GradientSlider::mouseDrag (const juce::MouseEvent& e) { setValueFromMouse (e); }
void GradientSlider::mouseUp (const juce::MouseEvent& e) { setValueFromMouse (e); }

void GradientSlider::resized()
{
    updateGradient();
    thumbSize = (float) getHeight() / 3.0f;
}

void GradientSlider::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    g.setGradientFill (gradient);
    g.fillRoundedRectangle (0.0f, (h - 5.0f) * 0.5f, w, 5.0f, 2.5f);

    const auto d = thumbSize;
    const auto centreX = juce::jlimit (d / 2.0f, juce::jmax (w - d / 2.0f, d / 2.0f), w * value);
    g.setColour (getColour());
    g.fillEllipse (centreX - d / 2.0f, h * 0.5f - d / 2.0f, d, d);
}
