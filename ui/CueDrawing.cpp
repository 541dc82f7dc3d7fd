#include "ui/CueDrawing.h"

juce::Path makeTrianglePath (float size)
{
    const auto half = size * 0.5f;
    const auto b = 0.8660254f * half;

    juce::Path path;
    path.startNewSubPath (-half, -b);
    path.lineTo (half, -b);
    path.lineTo (0.0f, b);
    path.closeSubPath();
    return path;
}

juce::Rectangle<float> getTextBounds (const juce::Font& font, const juce::String& text)
{
    juce::AttributedString attributed;
    attributed.setJustification (juce::Justification::topLeft);
    attributed.append (text, font);

    juce::TextLayout layout;
    layout.createLayout (attributed, std::numeric_limits<float>::max());
    layout.recalculateSize();

    if (layout.getNumLines() == 0)
        return {};
    return layout.getLine (0).getLineBounds();
}
