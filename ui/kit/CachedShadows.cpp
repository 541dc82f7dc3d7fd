#include "ui/kit/CachedShadows.h"
#include "ui/kit/StackBlur.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace melatonin::internal
{
namespace
{
bool sameScale (float a, float b)
{
    return std::abs (a - b) <= std::max (FLT_MIN, FLT_EPSILON * std::max (std::abs (a), std::abs (b)));
}
}

CachedShadows::CachedShadows (std::vector<ShadowLayer> layerParameters)
{
    layers.reserve (layerParameters.size());
    for (auto& p : layerParameters)
        layers.push_back ({ p, {}, {}, {}, 0, 0, {} });
}

void CachedShadows::paintPathShadow (juce::Graphics& g, const juce::Path& path)
{
    const auto bounds = path.getBounds();
    if (layers.empty() || bounds.getWidth() <= 0.0f || bounds.getHeight() <= 0.0f)
        return;

    updateScale (g);
    setPath (path);
    drawCached (g);
}

void CachedShadows::paintTextShadow (juce::Graphics& g, const juce::String& text,
                                     juce::Rectangle<float> area, juce::Justification justification)
{
    if (layers.empty())
        return;

    updateScale (g);

    const auto& font = g.getCurrentFont();
    if (text != lastText || font != lastFont || area != lastArea || justification != lastJustification)
    {
        lastText = text;
        lastFont = font;
        lastArea = area;
        lastJustification = justification;

        juce::GlyphArrangement glyphs;
        glyphs.addLineOfText (font, text, area.getX(), area.getY());
        glyphs.justifyGlyphs (0, glyphs.getNumGlyphs(), area.getX(), area.getY(),
                              area.getWidth(), area.getHeight(), justification);
        juce::Path path;
        glyphs.createPath (path);

        // Empty or blank text has no outline: there is no shadow to size or spread.
        const auto bounds = path.getBounds();
        textIsBlank = bounds.getWidth() <= 0.0f || bounds.getHeight() <= 0.0f;
        if (textIsBlank)
        {
            composite = {};
            needsComposite = true;
            return;
        }
        setPath (std::move (path));
    }

    if (! textIsBlank)
        drawCached (g);
}

void CachedShadows::updateScale (juce::Graphics& g)
{
    const auto newScale = g.getInternalContext().getPhysicalPixelScaleFactor();
    if (! sameScale (newScale, scale))
    {
        scale = newScale;
        needsRender = true;
    }
}

void CachedShadows::setPath (juce::Path path)
{
    const auto topLeft = path.getBounds().getTopLeft();
    path.applyTransform (juce::AffineTransform::translation (-topLeft.x, -topLeft.y));

    if (! needsRender && path == shape)
    {
        origin = topLeft;
        return;
    }

    shape = std::move (path);
    scaledShape = shape;
    scaledShape.applyTransform (juce::AffineTransform::scale (scale));
    origin = topLeft;
    needsRender = true;
}

void CachedShadows::drawCached (juce::Graphics& g)
{
    if (needsRender)
    {
        for (auto& layer : layers)
            layer.render (shape, scale);
        needsRender = false;
        needsComposite = true;
    }

    if (needsComposite)
        makeComposite();

    if (! composite.isValid())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.setOpacity (1.0f);
    g.drawImageTransformed (composite,
                            juce::AffineTransform::scale (1.0f / scale)
                                .translated (origin.x + (float) compositeOrigin.x / scale,
                                             origin.y + (float) compositeOrigin.y / scale));
}

void CachedShadows::makeComposite()
{
    needsComposite = false;

    juce::Rectangle<int> united;
    bool any = false;
    for (auto& layer : layers)
    {
        if (layer.area.isEmpty() || ! layer.shadowMask.isValid())
            continue;
        const auto placed = layer.area + layer.scaledOffset;
        united = any ? united.getUnion (placed) : placed;
        any = true;
    }

    // A shape that casts no shadow any more must not keep showing the old one.
    if (! any || united.isEmpty())
    {
        composite = {};
        return;
    }

    compositeOrigin = united.getPosition();
    composite = juce::Image (juce::Image::ARGB, united.getWidth(), united.getHeight(), true);
    juce::Graphics g (composite);
    for (auto& layer : layers)
    {
        if (layer.area.isEmpty() || ! layer.shadowMask.isValid())
            continue;
        g.setColour (layer.parameters.colour);
        g.drawImageAt (layer.shadowMask,
                       layer.area.getX() + layer.scaledOffset.x - united.getX(),
                       layer.area.getY() + layer.scaledOffset.y - united.getY(),
                       true);
    }
}

void CachedShadows::Layer::render (const juce::Path& path, float s)
{
    const auto& p = parameters;
    const auto bounds = path.getBounds();

    scaledShapeBounds = bounds.transformedBy (juce::AffineTransform::scale (s)).getSmallestIntegerContainer();
    scaledRadius = juce::roundToInt ((float) p.radius * s);
    scaledSpread = juce::roundToInt ((float) p.spread * s);
    scaledOffset = { (int) ((float) p.offset.x * s), (int) ((float) p.offset.y * s) };

    area = scaledShapeBounds.expanded (scaledRadius + scaledSpread);
    if (! sameScale (s, std::floor (s)))
        area = area.expanded (1);

    shadowMask = {};
    if (scaledRadius < 1 || area.isEmpty())
        return;

    auto spreadPath = path;
    if (p.spread != 0 && bounds.getWidth() > 0.0f && bounds.getHeight() > 0.0f)
    {
        const auto spread = (float) p.spread;
        const auto sx = juce::jmax (bounds.getWidth() + 2.0f * spread, 0.0f) / bounds.getWidth();
        const auto sy = juce::jmax (bounds.getHeight() + 2.0f * spread, 0.0f) / bounds.getHeight();
        spreadPath.applyTransform (juce::AffineTransform::translation (-bounds.getX(), -bounds.getY())
                                       .scaled (sx, sy)
                                       .translated (bounds.getX() - spread, bounds.getY() - spread));
    }

    shadowMask = juce::Image (juce::Image::SingleChannel, area.getWidth(), area.getHeight(), true);
    {
        juce::Graphics g (shadowMask);
        g.setColour (juce::Colours::white);
        g.fillPath (spreadPath, juce::AffineTransform::translation ((float) -area.getX() / s, (float) -area.getY() / s)
                                    .scaled (s));
    }
    stackBlur (shadowMask, scaledRadius);
}
}
