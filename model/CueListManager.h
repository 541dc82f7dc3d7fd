#pragma once

#include "model/CueList.h"
#include <map>

class CategoryManager;

/** Owns every cue list of the open document over its "CueLists" node: one CueList per
    "CueList" child, offered in child order with the timetable first. Message thread only. */
class CueListManager : private juce::ValueTree::Listener,
                       private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        /** After the display order was rebuilt; once per message-loop turn. */
        virtual void cueListsChanged() = 0;
    };

    CueListManager (juce::ValueTree cueListsNode, std::shared_ptr<CategoryManager> categoryManager);
    ~CueListManager() override;

    /** Rebinds to the "CueLists" node of another document. */
    void setState (juce::ValueTree cueListsNode);
    juce::ValueTree getState() const { return tree; }

    /** A copy of the display order; never holds an empty entry. */
    std::vector<std::shared_ptr<CueList>> getCueLists() const { return orderedLists; }
    std::shared_ptr<CueList> getCueList (const juce::String& uuid) const;
    std::shared_ptr<CueList> getTimetable() const;

    std::shared_ptr<CueList> createTimetable();
    void deleteCueList (const juce::String& uuid);
    void moveCueList (int from, int to);
    /** Adds the list read from a CSV file at the index (appended when out of range) if it
        has cues; joins the caller's transaction. */
    void importCsv (int index, const juce::File& file, int fps);
    void setOffsetsIncrementally (int minutes);

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    std::map<juce::String, std::shared_ptr<CueList>> lists;
    std::vector<std::shared_ptr<CueList>> orderedLists;
    juce::ValueTree tree;
    std::shared_ptr<CategoryManager> categoryManager;
    juce::ListenerList<Listener> listeners;

    void addEntry (juce::ValueTree child);

    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child) override;
    void valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int) override;
    void valueTreeChildOrderChanged (juce::ValueTree& parent, int, int) override;
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (CueListManager)
};
