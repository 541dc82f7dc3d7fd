#include "pages/CueListOrganizer.h"

#include "BinaryData.h"
#include "app/VantrelController.h"
#include "document/AppData.h"
#include "model/DefaultsManager.h"

namespace
{
constexpr int rowInset = 5;
constexpr int animationMs = 50;

bool isListNode (const juce::ValueTree& node)
{
    return node.hasType (IDs::CueList);
}

bool isTimetableNode (const juce::ValueTree& node)
{
    return static_cast<bool> (node[IDs::timetable]);
}
}

CueListOrganizer::CueListOrganizer (VantrelController& controller)
    : manager (controller.cueListManager),
      selection (controller.selectedCueListHandler),
      defaults (controller.defaultsManager)
{
    if (auto drawable = juce::Drawable::createFromImageData (BinaryData::filearrowdownsolid_svg,
                                                             (size_t) BinaryData::filearrowdownsolid_svgSize))
        emptyIcon = drawable->getOutlineAsPath();

    manager->addListener (this);
    rebuild();
}

CueListOrganizer::~CueListOrganizer()
{
    manager->removeListener (this);
    cancelDrags();
    rows.clear();
}

void CueListOrganizer::rebuild()
{
    rows.clear();
    for (const auto& list : manager->getCueLists())
        if (! list->isTimetable())
            rows.add (new CsvFileComponent (manager, selection, list));

    for (auto* row : rows)
    {
        row->onClick = [handler = std::weak_ptr<ActiveCueListHandler> (selection),
                        list = std::weak_ptr<CueList> (manager->getCueList (row->getComponentID()))]
        {
            auto h = handler.lock();
            auto l = list.lock();
            if (h != nullptr && l != nullptr)
                h->setActiveCueList (l);
        };
        addAndMakeVisible (row);
    }

    setContentHeight (rowHeight * rows.size());
    repaint();
    resized();
}

bool CueListOrganizer::startRowDrag (CsvFileComponent& row)
{
    const int index = rows.indexOf (&row);
    if (index >= 0 && ! isDragAndDropActive())
    {
        startDragging (index, &row, juce::ScaledImage(), false);
        if (isDragAndDropActive())
            rowBeingDragged = &row;
    }
    return rowBeingDragged == &row;
}

bool CueListOrganizer::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (files.isEmpty())
        return false;
    for (const auto& path : files)
        if (juce::File (path).getFileExtension() != ".csv")
            return false;
    return true;
}

void CueListOrganizer::filesDropped (const juce::StringArray& files, int, int)
{
    if (! isInterestedInFileDrag (files))
        return;

    const int fps = DefaultsManager::usableFps (defaults->getDefaultFps());
    if (auto* um = AppData::getUndoManager())
        um->beginNewTransaction ("Add New CueList");

    // Each new list goes after every child the node has now, so the lists of one drop keep
    // the dropped order (the manager's display order only follows on the next message).
    for (const auto& path : files)
        manager->importCsv (manager->getState().getNumChildren(), juce::File (path), fps);
}

CsvFileComponent* CueListOrganizer::draggedRow (const SourceDetails& details) const
{
    auto* row = dynamic_cast<CsvFileComponent*> (details.sourceComponent.get());
    return rows.contains (row) ? row : nullptr;
}

void CueListOrganizer::itemDragMove (const SourceDetails& details)
{
    auto* source = draggedRow (details);
    if (source == nullptr)
        return;

    auto* hit = getComponentAt (details.localPosition);
    CsvFileComponent* target = nullptr;
    for (; hit != nullptr && hit != this && target == nullptr; hit = hit->getParentComponent())
        target = dynamic_cast<CsvFileComponent*> (hit);
    if (target == nullptr || ! rows.contains (target))
        return;

    const int s = rows.indexOf (source), t = rows.indexOf (target);
    if (s == t)
        return;

    rows.move (s, t);
    auto& animator = juce::Desktop::getInstance().getAnimator();
    for (int i = 0; i < rows.size(); ++i)
    {
        auto* row = rows.getUnchecked (i);
        animator.animateComponent (row, { 0, rowHeight * i + rowInset, getWidth(), rowHeight - 2 * rowInset },
                                   row == source ? 0.0f : 1.0f, animationMs, true, 0.0, 0.0);
    }
}

void CueListOrganizer::itemDropped (const SourceDetails& details)
{
    auto* source = draggedRow (details);
    if (source == nullptr)
        return;

    juce::Desktop::getInstance().getAnimator().cancelAnimation (source, true);
    source->setVisible (true);
    source->setAlpha (1.0f);
    source->getHandle().setToggleState (false, juce::dontSendNotification);

    const int r0 = details.description.isInt() ? static_cast<int> (details.description) : -1;
    const int r1 = rows.indexOf (source);
    if (r1 == r0)
        return;

    auto tree = manager->getState();
    const int from = tree.indexOf (source->getCueList()->getTree());
    if (from < 0)
        return;

    // The node that shows r1-th among the lists that are not the timetable.
    int to = -1;
    for (int i = 0, seen = 0; i < tree.getNumChildren() && to < 0; ++i)
    {
        const auto child = tree.getChild (i);
        if (isListNode (child) && ! isTimetableNode (child) && seen++ == r1)
            to = i;
    }
    if (to < 0)
        to = tree.getNumChildren() - 1;

    auto* um = AppData::getUndoManager();
    if (um != nullptr)
        um->beginNewTransaction ("Move CueList");
    if (from != to)
        tree.moveChild (from, to, um);
}

void CueListOrganizer::dragOperationEnded (const SourceDetails&)
{
    rowBeingDragged = nullptr;
    restoreRows();
}

void CueListOrganizer::restoreRows()
{
    // Back to the document's order, all shown, no handle pressed: after a drop outside or in
    // place nothing else restores the rows, and after a move the manager's notice follows.
    struct ByDocumentOrder
    {
        juce::ValueTree tree;
        int compareElements (CsvFileComponent* a, CsvFileComponent* b) const
        {
            return tree.indexOf (a->getCueList()->getTree()) - tree.indexOf (b->getCueList()->getTree());
        }
    } order { manager->getState() };
    rows.sort (order, true);

    auto& animator = juce::Desktop::getInstance().getAnimator();
    for (auto* row : rows)
    {
        animator.cancelAnimation (row, false);
        row->setVisible (true);
        row->setAlpha (1.0f);
        row->getHandle().setToggleState (false, juce::dontSendNotification);
    }
    resized();
}

void CueListOrganizer::cancelDrags()
{
    if (! isDragAndDropActive())
        return;

    auto& animator = juce::Desktop::getInstance().getAnimator();
    for (auto* row : rows)
        animator.cancelAnimation (row, false);

    // What is left besides the rows and separators are the drag images; deleting one ends its
    // drag while this organizer can still hear of it.
    for (int i = getNumChildComponents(); --i >= 0;)
        if (auto* child = getChildComponent (i);
            ! rows.contains (dynamic_cast<CsvFileComponent*> (child)) && ! separators.contains (dynamic_cast<LineComponent*> (child)))
            delete child;
}

void CueListOrganizer::resized()
{
    separators.clear();
    const int w = getWidth();
    int top = 0;
    for (int i = 0; i < rows.size(); ++i)
    {
        const int slot = juce::jmax (0, juce::jmin (rowHeight, getHeight() - top));
        rows.getUnchecked (i)->setBounds (0, top + rowInset, juce::jmax (0, w), juce::jmax (0, slot - 2 * rowInset));
        if (i < rows.size() - 1)
        {
            auto* line = separators.add (new LineComponent());
            addAndMakeVisible (line);
            line->setBounds (0, top + slot, w, 1);
        }
        top += slot;
    }
}

void CueListOrganizer::paint (juce::Graphics& g)
{
    if (! rows.isEmpty())
        return;

    const int x = (getWidth() - 40) / 2, y = (getHeight() - 40) / 2;
    g.setColour (juce::Colour (0xff404040));
    g.fillPath (emptyIcon, emptyIcon.getTransformToScaleToFit (juce::Rectangle<int> (x, y, 40, 40).toFloat(), true,
                                                               juce::Justification::centred));
    g.setFont (20.0f);
    g.drawText ("Drop your CSV files here...", juce::Rectangle<int> (0, y + 50, getWidth(), 20),
                juce::Justification::centred, false);
}
