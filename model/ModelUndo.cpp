#include "model/ModelUndo.h"

#include "document/AppData.h"

juce::UndoManager* ModelUndo::forNode (const juce::ValueTree& node)
{
    return node.getParent().isValid() ? AppData::getUndoManager() : nullptr;
}

bool ModelUndo::isUndoingOrRedoing()
{
    auto* um = AppData::getUndoManager();
    return um != nullptr && um->isPerformingUndoRedo();
}
