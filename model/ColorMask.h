#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <juce_graphics/juce_graphics.h>

/** A set of hidden colours over one "ColorMask" node: a cue whose display colour is in the
    mask is not shown. Colours are compared as full ARGB values, so the letter case of the
    stored text does not matter. */
class ColorMask : private juce::ValueTree::Listener
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** One call per "color" entry added or removed, also by undo and redo. */
        virtual void colorMaskChanged() = 0;
    };

    explicit ColorMask (juce::ValueTree node);
    ~ColorMask() override;

    /** Wraps another node; listeners hear of it only with the next addition or removal. */
    void setState (juce::ValueTree node);
    juce::ValueTree getState() const { return tree; }

    juce::Array<juce::Colour> getColors() const;

    /** Replaces the set in one undo step, "Set Color Mask"; a colour given twice is stored once. */
    void setColors (const juce::Array<juce::Colour>& colors);

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    juce::ValueTree tree;
    juce::ListenerList<Listener> listeners;

    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree&) override;
    void valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree&, int) override;

    JUCE_DECLARE_NON_COPYABLE (ColorMask)
};
