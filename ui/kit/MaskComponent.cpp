#include "ui/kit/MaskComponent.h"

MaskComponent::MaskComponent (juce::Path path)
    : maskPath (std::move (path))
{
    setInterceptsMouseClicks (false, false);
}

void MaskComponent::setShadow (juce::Colour colour, int radius, juce::Point<int> offset, int spread)
{
    shadow = melatonin::DropShadow (colour, radius, offset, spread);
    drawnAreaKnown = false;
    repaint();
}

void MaskComponent::resized()
{
    drawnAreaKnown = false;
}

void MaskComponent::colourChanged()
{
    drawnAreaKnown = false;
}

void MaskComponent::lookAndFeelChanged()
{
    drawnAreaKnown = false;
}

void MaskComponent::paint (juce::Graphics& g)
{
    if (! drawnAreaKnown || drawnAreaPath != maskPath)
        findDrawnArea();

    // Outside the drawn area both the shadow and the cover are fully transparent.
    if (! g.reduceClipRegion (drawnArea))
        return;

    // The image is drawn at one pixel per unit; other display scales draw afresh.
    if (std::equal_to<float>() (g.getInternalContext().getPhysicalPixelScaleFactor(), 1.0f) && drawn.isValid())
        g.drawImageAt (drawn, 0, 0);
    else
        paintMask (g);
}

void MaskComponent::paintMask (juce::Graphics& g)
{
    shadow.paintPathShadow (g, maskPath);
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillPath (maskPath);
}

void MaskComponent::findDrawnArea()
{
    drawnAreaKnown = true;
    drawnAreaPath = maskPath;
    drawnArea.clear();
    drawn = {};

    const auto bounds = getLocalBounds();
    if (bounds.isEmpty())
        return;

    juce::Image image (juce::Image::ARGB, bounds.getWidth(), bounds.getHeight(), true);
    {
        juce::Graphics g (image);
        paintMask (g);
    }
    drawn = image;

    // One rectangle per run of drawn pixels in each row; rows alike merge into one.
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < image.getHeight(); ++y)
    {
        for (int x = 0; x < image.getWidth();)
        {
            if (pixels.getPixelColour (x, y).getAlpha() == 0)
            {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.getWidth() && pixels.getPixelColour (x, y).getAlpha() != 0)
                ++x;
            drawnArea.addWithoutMerging ({ start, y, x - start, 1 });
        }
    }
    drawnArea.consolidate();
    // A pixel of margin: a display scale other than 1 places edges a little differently.
    auto grown = drawnArea;
    drawnArea.clear();
    for (const auto& r : grown)
        drawnArea.add (r.expanded (1));
    drawnArea.clipTo (bounds);
}
