#include "model/ColorMask.h"

#include "document/AppData.h"
#include "document/Identifiers.h"

namespace
{
juce::uint32 argbOf (const juce::ValueTree& entry)
{
    return juce::Colour::fromString (entry[IDs::hex].toString()).getARGB();
}
}

ColorMask::ColorMask (juce::ValueTree node)
{
    setState (node);
}

ColorMask::~ColorMask()
{
    tree.removeListener (this);
}

void ColorMask::setState (juce::ValueTree node)
{
    tree.removeListener (this);
    tree = node;
    tree.addListener (this);
}

juce::Array<juce::Colour> ColorMask::getColors() const
{
    juce::Array<juce::Colour> colors;
    for (const auto& child : tree)
        colors.add (juce::Colour (argbOf (child)));
    return colors;
}

void ColorMask::setColors (const juce::Array<juce::Colour>& colors)
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Set Color Mask");

    auto isWanted = [&colors] (juce::uint32 argb)
    {
        for (auto c : colors)
            if (c.getARGB() == argb)
                return true;
        return false;
    };

    for (int i = tree.getNumChildren(); --i >= 0;)
        if (! isWanted (argbOf (tree.getChild (i))))
            tree.removeChild (i, um);

    for (auto c : colors)
    {
        bool stored = false;
        for (const auto& child : tree)
            stored = stored || argbOf (child) == c.getARGB();
        if (stored)
            continue;

        juce::ValueTree entry (IDs::color);
        entry.setProperty (IDs::hex, c.toString(), um);
        tree.appendChild (entry, um);
    }
}

void ColorMask::valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree&)
{
    if (parent == tree)
        listeners.call ([] (Listener& l) { l.colorMaskChanged(); });
}

void ColorMask::valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree&, int)
{
    if (parent == tree)
        listeners.call ([] (Listener& l) { l.colorMaskChanged(); });
}
