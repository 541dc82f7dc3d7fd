#pragma once

#include "document/Identifiers.h"
#include "model/Cue.h"
#include <juce_data_structures/juce_data_structures.h>
#include <memory>
#include <vector>

class CategoryManager;

/** One list of cues over a "CueList" node: an imported marker export, or the timetable
    (hand-made, times of day). Keeps one cue object per "cue" child in display order,
    follows every change of its node, and answers the span, next-cue and start queries. */
class CueList : private juce::ValueTree::Listener,
                private Cue::Listener,
                private juce::AsyncUpdater
{
public:
    struct Listener
    {
        virtual ~Listener() = default;
        virtual void cueListNameChanged() {}
        virtual void cueListOffsetChanged() {}
        virtual void cueListAudioFileChanged() {}
        virtual void cueListFpsChanged() {}
        /** Cues added, removed, moved, re-sorted or re-timed; once per message-loop turn. */
        virtual void cuesChanged() {}
    };

    using Cues = std::vector<std::shared_ptr<Cue>>;

    /** Adopts a "CueList" node of the document; the cues are not sorted here. */
    CueList (juce::ValueTree node, std::shared_ptr<CategoryManager> categoryManager);
    /** A new empty list: "uuid", "name" "Empty List", "offset" "00:00:00:00", "fps" 30. */
    explicit CueList (std::shared_ptr<CategoryManager> categoryManager);
    /** Reads a CSV marker export. On failure the user is told (at most one message) and the
        list has no cues. Opens no transaction. */
    CueList (const juce::File& csvFile, int fps, std::shared_ptr<CategoryManager> categoryManager);
    ~CueList() override;

    /** A new timetable list ("timetable" true, "fps" 1000) without a category manager. */
    static std::unique_ptr<CueList> makeTimetable();

    juce::String getUuid() const;
    juce::String getName() const;
    juce::String getOffset() const;
    int getFps() const;
    bool isTimetable() const;
    juce::String getAudioFile() const;
    /** The name of the imported file, whether its path was stored on Windows or on Linux. */
    juce::String getFile() const;
    const Cues& getCues() const { return cues; }
    juce::ValueTree getTree() const { return tree; }
    /** The categories its cues link to; none for a list made without them. */
    const std::shared_ptr<CategoryManager>& getCategoryManager() const { return categoryManager; }
    juce::Range<int> getRange() const;
    juce::String getStartTimecode() const;

    /** Index of the first cue still ahead of the time, n when none is; -1 for no cues.
        The hint is the caller's previous result: forward steps cost two or three checks. */
    static int getNextCueIndex (int time, const std::vector<std::weak_ptr<Cue>>& cues, int hint);

    // Edits that open their own transaction.
    void setName (const juce::String& name);
    void setAudioFile (const juce::String& path);
    void setCuesOvertime (int minutes, const std::shared_ptr<Cue>& cue);

    // Edits that join the caller's transaction.
    void setOffset (const juce::String& text);
    void setFps (int fps);
    void addNewCue();
    void removeCue (const Cue& cue);
    void updateStart (int fps);
    void setCueStartsFromTimecode (const juce::String& offsetText, int fps);

    void sortCues();

    void addListener (Listener* l) { listeners.add (l); }
    void removeListener (Listener* l) { listeners.remove (l); }

private:
    juce::ValueTree tree;
    Cues cues;
    std::shared_ptr<CategoryManager> categoryManager;
    juce::ListenerList<Listener> listeners;
    bool needsSort = false;

    void initialiseNew();
    void importCsv (const juce::File& file, int fps);
    void rebuildCues();
    std::shared_ptr<Cue> makeCue (juce::ValueTree node);
    juce::ValueTree getCuesNode() const { return tree.getChildWithName (IDs::Cues); }
    bool isCuesNode (const juce::ValueTree& node) const;
    double getOffsetMillis() const;
    void writeOrderToNode();

    void valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property) override;
    void valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child) override;
    void valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int index) override;
    void valueTreeChildOrderChanged (juce::ValueTree& parent, int oldIndex, int newIndex) override;
    void cueTimeChanged (Cue*, bool resort) override;
    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE (CueList)
};
