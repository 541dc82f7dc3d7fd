#pragma once

#include "ui/kit/ShadowLayer.h"
#include <juce_graphics/juce_graphics.h>
#include <vector>

namespace melatonin::internal
{
/** Soft shadows under a shape or a line of text, rendered once into blurred single-channel
    masks (one per layer) at the display's pixel scale, combined into one coloured image and
    from then on only redrawn. Moving the shape reuses the image; only a change of the shape,
    the layers or the display scale (for text: of text, font, area or justification) renders
    and blurs again. Message thread only (it is used inside paint calls). */
class CachedShadows
{
public:
    explicit CachedShadows (std::vector<ShadowLayer> layers);
    virtual ~CachedShadows() = default;

    /** Draws the shadows of the path where the path lies. */
    void paintPathShadow (juce::Graphics& g, const juce::Path& path);

    /** Draws the shadows of the text's glyphs as the text would be placed in the area in the
        Graphics' current font (one line, no ellipsis). */
    void paintTextShadow (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
                          juce::Justification justification);

    /** The cached coloured image (null until something was drawn, or when there is nothing
        to draw). */
    const juce::Image& getCachedImage() const { return composite; }

private:
    struct Layer
    {
        ShadowLayer parameters;
        juce::Image shadowMask;
        juce::Rectangle<int> scaledShapeBounds, area;
        int scaledRadius = 0, scaledSpread = 0;
        juce::Point<int> scaledOffset;

        void render (const juce::Path& originAgnosticPath, float scale);
    };

    juce::Path shape, scaledShape;
    juce::Point<float> origin;
    juce::Image composite;
    juce::Point<int> compositeOrigin;
    std::vector<Layer> layers;
    bool needsRender = true, needsComposite = true;
    float scale = 1.0f;

    juce::String lastText;
    juce::Font lastFont { 14.0f };
    juce::Rectangle<float> lastArea;
    juce::Justification lastJustification { juce::Justification::left };
    bool textIsBlank = true;

    void updateScale (juce::Graphics& g);
    void setPath (juce::Path path);
    void drawCached (juce::Graphics& g);
    void makeComposite();

    JUCE_LEAK_DETECTOR (CachedShadows)
};
}
