#pragma once

#include <juce_data_structures/juce_data_structures.h>

/** How model writes reach the process-wide undo manager. */
class ModelUndo
{
public:
    /** The undo manager for a write to this node; none while the node belongs to no tree yet
        (a cue or list still being built), whose writes are nobody's to undo. */
    static juce::UndoManager* forNode (const juce::ValueTree& node);

    /** True while the undo manager performs an undo or redo. Writes derived from another
        change are left out then: the undo restores them itself, and the framework would
        refuse them anyway. */
    static bool isUndoingOrRedoing();

    ModelUndo() = delete;
};
