#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

/** One category of cues over a "Category" node: a name and a colour that linked cues
    display. It counts the cues linked to it, so views can list only the ones in use. */
class Category : private juce::ValueTree::Listener,
                 private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void categoryColorChanged() {}
        virtual void categoryNameChanged() {}
        /** Delivered asynchronously, once for several changes. */
        virtual void categoryUsageChanged() {}
    };

    /** Wraps an existing node. */
    explicit Category (juce::ValueTree node);
    /** Makes a new node with a new uuid, the colour and a random two-word name. */
    explicit Category (juce::Colour colour);
    ~Category() override;

    juce::String getName() const;
    juce::String getUuid() const;
    juce::Colour getColor() const;
    juce::ValueTree getState() const { return tree; }

    /** Both write through the process-wide undo manager into the caller's transaction. */
    void setName (const juce::String& name);
    void setColor (juce::Colour colour);

    void addUsage();
    void removeUsage();
    bool isUsed() const { return usageCount != 0; }
    int getUsageCount() const { return usageCount; }

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    juce::ValueTree tree;
    juce::ListenerList<Listener> listeners;
    int32_t usageCount = 0;

    void valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property) override;
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (Category)
};
