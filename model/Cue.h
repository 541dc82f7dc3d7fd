#pragma once

#include "model/Category.h"
#include <juce_data_structures/juce_data_structures.h>
#include <memory>

class CategoryManager;

/** One entry of a cue list over a "cue" node: number, name, start, length, its own colour
    and a link to one category, whose colour it displays. Changes reach listeners coalesced,
    on the message thread. Times are milliseconds; a cue range is {start, end} in doubles,
    a list span {start, end} in whole milliseconds. */
class Cue : private juce::ValueTree::Listener,
            private Category::Listener,
            private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void cueTextChanged() {}
        virtual void cueDisplayColorChanged() {}
        virtual void cueTimeChanged (Cue*, bool /*resort*/) {}
        virtual void cueCategoryChanged() {}
    };

    static constexpr int dayMs = 86400000;

    /** Adopts an existing node without changing it (apart from the category link). */
    Cue (juce::ValueTree node, CategoryManager* categoryManager);
    /** A new node made in the program: "id", "number", "text", "start", "duration", "color". */
    Cue (int number, const juce::String& text, int startMs, int durationMs, juce::Colour colour,
         CategoryManager* categoryManager);
    /** A new imported node: "id", "number", "text", "tc", "color"; the list computes "start". */
    Cue (const juce::String& number, const juce::String& text, const juce::String& timecodeText,
         juce::Colour colour, CategoryManager* categoryManager);
    ~Cue() override;

    int getNumber() const;
    juce::String getText() const;
    juce::String getTimecodeText() const;
    juce::Colour getColor() const;
    juce::Colour getDisplayColor() const;
    std::shared_ptr<Category> getCategory() const { return linkedCategory; }
    juce::ValueTree getTree() const { return tree; }
    juce::Range<double> getRange() const;

    /** Writes go through the undo manager into the caller's transaction. */
    void setText (const juce::String& text);
    void setRange (juce::Range<double> range, bool resort);
    /** "start" = "tc" at fps plus the offset; a cue without "tc" keeps its start. */
    void setStartFromTimecode (int fps, double offsetMs);
    void setCategory (std::shared_ptr<Category> category);

    /** Countdown progress 0..1 over the last 3000 ms before the start. */
    virtual float getProgress (int time, juce::Range<int> span) const;
    /** True while the cue still lies ahead of the time. */
    virtual bool isAfter (int time, juce::Range<int> span) const;

    static bool compareByTime (const Cue& a, const Cue& b);

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    enum Bits : uint32_t
    {
        textBit = 1,
        timeBit = 2,
        displayColorBit = 4,
        categoryBit = 8,
        resortBit = 16
    };

    juce::ValueTree tree;
    juce::ListenerList<Listener> listeners;
    CategoryManager* categoryManager = nullptr;
    std::shared_ptr<Category> linkedCategory;
    juce::CriticalSection changeLock;
    uint32_t pendingChanges = 0;

    void linkCategoryForDisplayColor();
    void setBits (uint32_t bits);

    void valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property) override;
    void categoryColorChanged() override;
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (Cue)
};
