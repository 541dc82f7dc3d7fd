#include "model/CueList.h"

#include "document/AppData.h"
#include "model/CategoryManager.h"
#include "model/DefaultsManager.h"
#include "model/ModelUndo.h"
#include "model/RandomName.h"
#include "model/TimetableCue.h"
#include "time/Timecode.h"
#include "time/WholeMillis.h"

#include <algorithm>

namespace
{
constexpr int quarterHourMs = 900000;

juce::String normalisedTimecode (const juce::String& text)
{
    return Timecode::fromString (text).toString (4);
}
}

CueList::CueList (juce::ValueTree node, std::shared_ptr<CategoryManager> cm)
    : tree (node), categoryManager (std::move (cm))
{
    rebuildCues();
    tree.addListener (this);
}

CueList::CueList (std::shared_ptr<CategoryManager> cm) : tree (IDs::CueList), categoryManager (std::move (cm))
{
    initialiseNew();
    tree.addListener (this);
}

CueList::CueList (const juce::File& csvFile, int fps, std::shared_ptr<CategoryManager> cm)
    : tree (IDs::CueList), categoryManager (std::move (cm))
{
    initialiseNew();
    tree.addListener (this);
    importCsv (csvFile, fps);
}

CueList::~CueList()
{
    cancelPendingUpdate();
    tree.removeListener (this);
    for (auto& cue : cues)
        cue->removeListener (this);
}

void CueList::initialiseNew()
{
    tree.setProperty (IDs::uuid, juce::Uuid().toString(), nullptr);
    tree.setProperty (IDs::name, "Empty List", nullptr);
    tree.setProperty (IDs::offset, "00:00:00:00", nullptr);
    tree.setProperty (IDs::fps, 30, nullptr);
}

std::unique_ptr<CueList> CueList::makeTimetable()
{
    auto list = std::make_unique<CueList> (std::shared_ptr<CategoryManager>());
    list->tree.setProperty (IDs::timetable, true, nullptr);
    list->tree.setProperty (IDs::fps, 1000, nullptr);
    return list;
}

std::shared_ptr<Cue> CueList::makeCue (juce::ValueTree node)
{
    std::shared_ptr<Cue> cue;
    if (isTimetable())
        cue = std::make_shared<TimetableCue> (node, categoryManager.get());
    else
        cue = std::make_shared<Cue> (node, categoryManager.get());
    cue->addListener (this);
    return cue;
}

void CueList::rebuildCues()
{
    for (auto& cue : cues)
        cue->removeListener (this);
    cues.clear();
    for (const auto& child : getCuesNode())
        cues.push_back (makeCue (child));
}

bool CueList::isCuesNode (const juce::ValueTree& node) const
{
    return node.hasType (IDs::Cues) && node == getCuesNode();
}

// ---- reading ---------------------------------------------------------------------------

juce::String CueList::getUuid() const { return tree[IDs::uuid].toString(); }
juce::String CueList::getName() const { return tree[IDs::name].toString(); }
juce::String CueList::getOffset() const { return tree[IDs::offset].toString(); }
int CueList::getFps() const { return static_cast<int> (tree[IDs::fps]); }
bool CueList::isTimetable() const { return static_cast<bool> (tree[IDs::timetable]); }
juce::String CueList::getAudioFile() const { return tree[IDs::audiofile].toString(); }

juce::String CueList::getFile() const
{
    auto path = tree[IDs::file].toString();
    if (path.isEmpty())
        return {};
    if (! juce::File::isAbsolutePath (path))
        path = juce::File::getCurrentWorkingDirectory().getChildFile (path).getFullPathName();
    // Documents travel between systems: either separator ends a folder name.
    const int lastSeparator = juce::jmax (path.lastIndexOfChar ('\\'), path.lastIndexOfChar ('/'));
    return path.substring (lastSeparator + 1);
}

double CueList::getOffsetMillis() const
{
    return Timecode::fromString (getOffset()).toMillis (DefaultsManager::usableFps (getFps()));
}

juce::Range<int> CueList::getRange() const
{
    if (cues.empty())
        return {};
    const auto start = toWholeMillis ((double) tree[IDs::start] + getOffsetMillis());
    const auto end = toWholeMillis (cues.back()->getRange().getEnd());
    return { start, juce::jmax (start, end) };
}

juce::String CueList::getStartTimecode() const
{
    const int fps = DefaultsManager::usableFps (getFps());
    return Timecode::fromMillis ((double) tree[IDs::start] + getOffsetMillis(), fps).toString (4);
}

int CueList::getNextCueIndex (int time, const std::vector<std::weak_ptr<Cue>>& array, int hint)
{
    const int n = (int) array.size();
    if (n == 0)
        return -1;
    hint = juce::jmax (0, hint);

    // Entries whose cue has gone are skipped: they take the answer of the live cue before
    // them (false before the first), so the answers stay ordered and a result is always a
    // live cue or n.
    int first = -1, last = -1;
    for (int i = 0; i < n && first < 0; ++i)
        if (! array[(size_t) i].expired())
            first = i;
    for (int i = n; --i >= 0 && last < 0;)
        if (! array[(size_t) i].expired())
            last = i;

    juce::Range<int> span;
    if (first >= 0)
    {
        auto firstCue = array[(size_t) first].lock();
        auto lastCue = array[(size_t) last].lock();
        const auto s = toWholeMillis (firstCue != nullptr ? firstCue->getRange().getStart() : 0.0);
        const auto e = toWholeMillis (lastCue != nullptr ? lastCue->getRange().getEnd() : 0.0);
        span = { s, juce::jmax (s, e) };
    }

    auto isAfter = [&] (int i)
    {
        for (; i >= 0; --i)
            if (auto cue = array[(size_t) i].lock())
                return cue->isAfter (time, span);
        return false;
    };

    const bool a = hint < n && isAfter (hint);
    const bool b = hint > 0 && hint < n && isAfter (hint - 1);
    if (a && ! b)
        return hint;
    const bool c = hint + 1 < n && isAfter (hint + 1);
    if (! a && c)
        return hint + 1;

    int lo = 0, hi = n - 1, result = n;
    while (lo <= hi)
    {
        const int mid = lo + (hi - lo) / 2;
        if (isAfter (mid))
        {
            result = mid;
            hi = mid - 1;
        }
        else
            lo = mid + 1;
    }
    return result;
}

// ---- edits -----------------------------------------------------------------------------

void CueList::setName (const juce::String& name)
{
    auto* um = ModelUndo::forNode (tree);
    if (um != nullptr)
        um->beginNewTransaction ("Set CueList Name");
    tree.setProperty (IDs::name, name, um);
}

void CueList::setAudioFile (const juce::String& path)
{
    auto* um = ModelUndo::forNode (tree);
    if (um != nullptr)
        um->beginNewTransaction ("Set CueList Audiofile");
    tree.setProperty (IDs::audiofile, path, um);
}

void CueList::setOffset (const juce::String& text)
{
    const auto normalised = normalisedTimecode (text);
    setCueStartsFromTimecode (normalised, getFps());
    tree.setProperty (IDs::offset, normalised, ModelUndo::forNode (tree));
}

void CueList::setFps (int fps)
{
    setCueStartsFromTimecode (getOffset(), fps);
    updateStart (fps);
    tree.setProperty (IDs::fps, fps, ModelUndo::forNode (tree));
}

void CueList::setCueStartsFromTimecode (const juce::String& offsetText, int fps)
{
    if (cues.empty())
        return;
    fps = DefaultsManager::usableFps (fps);
    const auto offsetMs = Timecode::fromString (offsetText).toMillis (fps);
    for (auto& cue : cues)
        cue->setStartFromTimecode (fps, offsetMs);
}

void CueList::updateStart (int fps)
{
    // Without cues, or with a first cue made in the program (no timecode), there is no
    // timecode to start from.
    if (cues.empty() || ! cues.front()->getTree().hasProperty (IDs::tc))
        return;
    const auto tcMs = Timecode::fromString (cues.front()->getTimecodeText()).toMillis (DefaultsManager::usableFps (fps));
    const auto t = toWholeMillis (tcMs);
    tree.setProperty (IDs::start, (double) ((t / quarterHourMs) * quarterHourMs), ModelUndo::forNode (tree));
}

void CueList::addNewCue()
{
    const auto name = makeRandomName (3);
    auto cuesNode = getCuesNode();

    std::unique_ptr<Cue> made;
    if (cues.empty())
    {
        juce::Colour colour (0xffff0000);
        if (categoryManager != nullptr)
            if (auto categories = categoryManager->getCategories(); ! categories.empty())
                colour = categories.front()->getColor();
        made = std::make_unique<Cue> (1, name, 46800000, 3600000, colour, categoryManager.get());
        if (! cuesNode.isValid())
        {
            cuesNode = juce::ValueTree (IDs::Cues);
            tree.appendChild (cuesNode, nullptr);
        }
    }
    else
    {
        const auto& last = cues.back();
        const auto range = last->getRange();
        const int duration = toWholeMillis (range.getLength());
        const auto start = static_cast<int> (toWholeMillis<int64_t> (range.getEnd()) % Cue::dayMs);
        made = std::make_unique<Cue> ((int) cues.size() + 1, name, start, duration, last->getDisplayColor(),
                                      categoryManager.get());
    }

    cuesNode.appendChild (made->getTree(), ModelUndo::forNode (cuesNode));
}

void CueList::removeCue (const Cue& cue)
{
    auto cuesNode = getCuesNode();
    const int index = cuesNode.indexOf (cue.getTree());
    if (index >= 0)
        cuesNode.removeChild (index, ModelUndo::forNode (cuesNode));
}

void CueList::setCuesOvertime (int minutes, const std::shared_ptr<Cue>& cue)
{
    const auto found = std::find (cues.begin(), cues.end(), cue);
    if (cue == nullptr || found == cues.end())
        return;

    if (auto* um = ModelUndo::forNode (tree))
        um->beginNewTransaction ("Set Cues Overtime");

    const double delta = minutes * 60000.0;
    for (auto it = found; it != cues.end(); ++it)
    {
        const auto range = (*it)->getRange();
        double start, end;
        if (it == found)
        {
            end = range.getEnd() + delta;
            start = juce::jmin (end, range.getStart());
        }
        else
        {
            start = range.getStart() + delta;
            end = range.getEnd() + delta;
        }
        end = juce::jmax (end, start);
        if (start < 0)
        {
            start += Cue::dayMs;
            end += Cue::dayMs;
        }
        (*it)->setRange ({ start, end }, false);
    }

    listeners.call ([] (Listener& l) { l.cuesChanged(); });
}

// ---- sorting ---------------------------------------------------------------------------

void CueList::sortCues()
{
    if (cues.size() < 2)
        return;

    std::stable_sort (cues.begin(), cues.end(), [] (const auto& a, const auto& b) { return Cue::compareByTime (*a, *b); });

    // Runs of overlapping cues; a run that passes midnight ends at its time after midnight.
    struct Span
    {
        double start, end;
    };
    std::vector<Span> spans;
    for (const auto& cue : cues)
    {
        const auto r = cue->getRange();
        if (! spans.empty())
        {
            auto& lastSpan = spans.back();
            const auto reach = (double) (static_cast<int64_t> (toWholeMillis (lastSpan.end)) % Cue::dayMs);
            if (r.getStart() <= reach)
            {
                lastSpan.end = juce::jmax (lastSpan.end, r.getEnd(), r.getStart());
                continue;
            }
        }
        spans.push_back ({ r.getStart(), r.getEnd() });
    }

    // The day starts after the largest gap between runs.
    size_t chosen = 0;
    const auto n = spans.size();
    if (n >= 2)
    {
        int64_t best = -1;
        for (size_t i = 1; i <= n; ++i)
        {
            const int64_t s = toWholeMillis (spans[i % n].start);
            const int64_t e = toWholeMillis (spans[i - 1].end) % Cue::dayMs;
            const auto gap = std::abs (s - e);
            if (gap > best)
            {
                best = gap;
                chosen = i % n;
            }
        }
    }

    size_t dayStartIndex = 0;
    if (chosen != 0)
        for (size_t i = 0; i < cues.size(); ++i)
            if (std::equal_to<double>() (cues[i]->getRange().getStart(), spans[chosen].start))
            {
                dayStartIndex = i;
                break;
            }

    struct Entry
    {
        std::shared_ptr<Cue> cue;
        double start, length;
    };
    std::vector<Entry> entries;
    for (size_t i = 0; i < cues.size(); ++i)
    {
        const auto r = cues[i]->getRange();
        entries.push_back ({ cues[i], r.getStart() + (i < dayStartIndex ? Cue::dayMs : 0), r.getLength() });
    }

    const bool timetable = isTimetable();
    std::stable_sort (entries.begin(), entries.end(), [timetable] (const Entry& a, const Entry& b)
                      {
                          if (std::not_equal_to<double>() (a.start, b.start))
                              return a.start < b.start;
                          return timetable && a.length > b.length;
                      });

    for (size_t i = 0; i < entries.size(); ++i)
        cues[i] = entries[i].cue;

    if (! ModelUndo::isUndoingOrRedoing())
        writeOrderToNode();
}

void CueList::writeOrderToNode()
{
    auto cuesNode = getCuesNode();
    if (! cuesNode.isValid())
    {
        cuesNode = juce::ValueTree (IDs::Cues);
        tree.appendChild (cuesNode, ModelUndo::forNode (tree));
    }

    // Moves rather than remove-and-append: nothing is written when the order already
    // holds, and the cue objects survive an undo of the move.
    auto* um = ModelUndo::forNode (cuesNode);
    tree.removeListener (this);
    for (int i = 0; i < (int) cues.size(); ++i)
    {
        const int at = cuesNode.indexOf (cues[(size_t) i]->getTree());
        if (at >= 0 && at != i)
            cuesNode.moveChild (at, i, um);
    }
    tree.addListener (this);
}

// ---- following the node ----------------------------------------------------------------

void CueList::valueTreePropertyChanged (juce::ValueTree& node, const juce::Identifier& property)
{
    if (node != tree)
        return;
    if (property == IDs::name)
        listeners.call ([] (Listener& l) { l.cueListNameChanged(); });
    else if (property == IDs::offset)
        listeners.call ([] (Listener& l) { l.cueListOffsetChanged(); });
    else if (property == IDs::audiofile)
        listeners.call ([] (Listener& l) { l.cueListAudioFileChanged(); });
    else if (property == IDs::fps)
        listeners.call ([] (Listener& l) { l.cueListFpsChanged(); });
}

void CueList::valueTreeChildAdded (juce::ValueTree& parent, juce::ValueTree& child)
{
    if (parent == tree && isCuesNode (child))
    {
        rebuildCues();
        triggerAsyncUpdate();
        return;
    }
    if (! isCuesNode (parent))
        return;

    const auto index = (size_t) juce::jmax (0, parent.indexOf (child));
    auto cue = makeCue (child);
    cues.insert (cues.begin() + (std::ptrdiff_t) juce::jmin (index, cues.size()), cue);
    triggerAsyncUpdate();
}

void CueList::valueTreeChildRemoved (juce::ValueTree& parent, juce::ValueTree& child, int index)
{
    if (parent == tree && child.hasType (IDs::Cues))
    {
        rebuildCues();
        triggerAsyncUpdate();
        return;
    }
    if (! isCuesNode (parent) || index < 0 || index >= (int) cues.size())
        return;

    auto it = cues.begin() + index;
    if ((*it)->getTree() != child)
        it = std::find_if (cues.begin(), cues.end(), [&] (const auto& c) { return c->getTree() == child; });
    if (it == cues.end())
        return;

    (*it)->removeListener (this);
    (*it)->setCategory (nullptr);
    cues.erase (it);
    triggerAsyncUpdate();
}

void CueList::valueTreeChildOrderChanged (juce::ValueTree& parent, int oldIndex, int newIndex)
{
    if (! isCuesNode (parent))
        return;
    const int n = (int) cues.size();
    if (oldIndex != newIndex && oldIndex >= 0 && oldIndex < n)
    {
        auto cue = cues[(size_t) oldIndex];
        cues.erase (cues.begin() + oldIndex);
        const int to = juce::jlimit (0, n - 1, newIndex);
        cues.insert (cues.begin() + to, cue);
    }
    triggerAsyncUpdate();
}

void CueList::cueTimeChanged (Cue*, bool resort)
{
    if (resort)
        needsSort = true;
    triggerAsyncUpdate();
}

void CueList::handleAsyncUpdate()
{
    if (needsSort)
    {
        needsSort = false;
        // A redo step waiting means an undo ran after the edit that asked for the sort; the
        // undo restored the order itself, and a write now would clear the redo history.
        auto* um = AppData::getUndoManager();
        if (um == nullptr || ! um->canRedo())
            sortCues();
    }
    listeners.call ([] (Listener& l) { l.cuesChanged(); });
}
