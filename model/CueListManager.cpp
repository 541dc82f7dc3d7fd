#include "model/CueListManager.h"

#include "document/AppData.h"
#include "time/Timecode.h"

CueListManager::CueListManager (juce::ValueTree node, std::shared_ptr<CategoryManager> cm)
    : categoryManager (std::move (cm))
{
    setState (node);
}

CueListManager::~CueListManager()
{
    cancelPendingUpdate();
    tree.removeListener (this);
}

void CueListManager::setState (juce::ValueTree node)
{
    tree.removeListener (this);
    tree = node;
    tree.addListener (this);

    lists.clear();
    for (const auto& child : tree)
        addEntry (child);
    triggerAsyncUpdate();
}

void CueListManager::addEntry (juce::ValueTree child)
{
    // Only "CueList" children are lists; anything else under "CueLists" is kept but ignored.
    if (child.hasType (IDs::CueList))
        lists[child[IDs::uuid].toString()] = std::make_shared<CueList> (child, categoryManager);
}

std::shared_ptr<CueList> CueListManager::getCueList (const juce::String& uuid) const
{
    if (auto found = lists.find (uuid); found != lists.end())
        return found->second;
    return {};
}

std::shared_ptr<CueList> CueListManager::getTimetable() const
{
    for (const auto& [uuid, list] : lists)
        if (list->isTimetable())
            return list;
    return {};
}

std::shared_ptr<CueList> CueListManager::createTimetable()
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Create Timetable");
    {
        auto made = CueList::makeTimetable();
        tree.appendChild (made->getTree(), um);
    }
    return getTimetable();
}

void CueListManager::deleteCueList (const juce::String& uuid)
{
    auto list = getCueList (uuid);
    if (list == nullptr)
        return;
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Delete Cue List");
    const int index = tree.indexOf (list->getTree());
    if (index >= 0)
        tree.removeChild (index, um);
}

void CueListManager::moveCueList (int from, int to)
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Move CueList");

    const int count = tree.getNumChildren();
    if (! tree.isValid() || from == to || from < 0 || from >= count)
        return;
    if (to < 0 || to >= count)
        to = count - 1;
    if (from != to)
        tree.moveChild (from, to, um);
}

void CueListManager::importCsv (int index, const juce::File& file, int fps)
{
    CueList imported (file, fps, categoryManager);
    if (! imported.getCues().empty())
        tree.addChild (imported.getTree(), index, AppData::getUndoManager());
}

void CueListManager::setOffsetsIncrementally (int minutes)
{
    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Set Offsets Incrementally");

    const int64_t step = (int64_t) minutes * 60000;
    int64_t k = 1;
    for (auto& list : getCueLists())
    {
        if (list->isTimetable())
            continue;
        list->setOffset (Timecode::fromMillis ((double) (k * step), 1).toString (4));
        ++k;
    }
}

void CueListManager::valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child)
{
    if (parent != tree)
        return;
    addEntry (child);
    triggerAsyncUpdate();
}

void CueListManager::valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int)
{
    if (parent != tree)
        return;

    const auto uuid = child[IDs::uuid].toString();
    if (auto found = lists.find (uuid); found != lists.end() && found->second->getTree() == child)
    {
        lists.erase (found);
        // A duplicate uuid left behind gets its own list again.
        for (int i = tree.getNumChildren(); --i >= 0;)
            if (auto other = tree.getChild (i); other.hasType (IDs::CueList) && other[IDs::uuid].toString() == uuid)
            {
                addEntry (other);
                break;
            }
    }
    triggerAsyncUpdate();
}

void CueListManager::valueTreeChildOrderChanged (juce::ValueTree& parent, int, int)
{
    if (parent == tree)
        triggerAsyncUpdate();
}

void CueListManager::handleAsyncUpdate()
{
    // Child order, with only the children that the map's lists wrap: a duplicate uuid or a
    // foreign child never leaves an empty place.
    std::vector<std::shared_ptr<CueList>> ordered;
    for (const auto& child : tree)
        if (auto list = getCueList (child[IDs::uuid].toString()); list != nullptr && list->getTree() == child)
            ordered.push_back (list);

    // The timetable comes first (the last one in uuid order, should there be several).
    std::shared_ptr<CueList> timetable;
    for (const auto& [uuid, list] : lists)
        if (list->isTimetable() && std::find (ordered.begin(), ordered.end(), list) != ordered.end())
            timetable = list;
    if (timetable != nullptr)
    {
        ordered.erase (std::find (ordered.begin(), ordered.end(), timetable));
        ordered.insert (ordered.begin(), timetable);
    }

    orderedLists = std::move (ordered);
    listeners.call ([] (Listener& l) { l.cueListsChanged(); });
}
