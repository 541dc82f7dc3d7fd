#include "ui/kit/ColorWheel.h"

#include <cmath>

juce::Colour ColorWheel::colourAt (juce::Point<int> p) const
{
    const auto dx = (double) (p.x - getWidth() / 2);
    const auto dy = (double) (p.y - getHeight() / 2);
    const auto radius = getWidth() * 0.5;

    auto hue = (std::atan2 (dy, dx) + juce::MathConstants<double>::halfPi) / juce::MathConstants<double>::twoPi;
    hue -= std::floor (hue);
    const auto saturation = radius > 0.0 ? juce::jmin (1.0, std::sqrt (dx * dx + dy * dy) / radius) : 0.0;
    return juce::Colour ((float) hue, (float) saturation, 1.0f, 1.0f);
}

juce::Point<int> ColorWheel::positionFor (juce::Colour colour) const
{
    float h = 0.0f, s = 0.0f, v = 0.0f;
    colour.getHSB (h, s, v);
    const auto w = getWidth(), height = getHeight();
    const auto angle = (double) h * juce::MathConstants<double>::twoPi - juce::MathConstants<double>::halfPi;
    const auto length = w * (double) s * 0.5;
    return { (int) (std::cos (angle) * length + w / 2), (int) (std::sin (angle) * length + height / 2) };
}

void ColorWheel::setColour (juce::Colour colour)
{
    marker = positionFor (colour);
    repaint();
}

void ColorWheel::moveMarkerTo (juce::Point<int> p)
{
    const auto w = getWidth(), h = getHeight();
    const juce::Point<double> centre (w / 2, h / 2);
    const auto radius = w * 0.5;
    const auto offset = p.toDouble() - centre;
    const auto distance = offset.getDistanceFromOrigin();
    if (distance > radius)
    {
        const auto onRim = centre + offset * (radius / distance);
        p = { (int) onRim.x, (int) onRim.y };
    }

    marker = { juce::jmin (w - 1, p.x), juce::jmin (h - 1, p.y) };
    repaint();
    if (onColourChanged)
        onColourChanged (colourAt (marker));
}

void ColorWheel::mouseDown (const juce::MouseEvent& e) { moveMarkerTo (e.getPosition()); }
void ColorWheel::mouseDrag (const juce::MouseEvent& e) { moveMarkerTo (e.getPosition()); }

void ColorWheel::updateDisc()
{
    const auto w = getWidth(), h = getHeight();
    if (disc.isValid() && disc.getWidth() == w && disc.getHeight() == h)
        return;
    if (w <= 0 || h <= 0)
    {
        disc = {};
        return;
    }

    disc = juce::Image (juce::Image::ARGB, w, h, true);
    juce::Image::BitmapData pixels (disc, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.setPixelColour (x, y, colourAt ({ x, y }));
}

void ColorWheel::paint (juce::Graphics& g)
{
    updateDisc();
    if (disc.isValid())
    {
        juce::Graphics::ScopedSaveState state (g);
        juce::Path circle;
        circle.addEllipse (getLocalBounds().toFloat());
        g.reduceClipRegion (circle);
        g.setOpacity (1.0f);
        g.drawImageAt (disc, 0, 0);
    }

    g.setColour (getColour().contrasting (1.0f));
    g.drawEllipse ((float) marker.x - 5.0f, (float) marker.y - 5.0f, 10.0f, 10.0f, 1.0f);
}
