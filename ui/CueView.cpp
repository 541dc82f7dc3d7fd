#include "ui/CueView.h"

#include "time/WholeMillis.h"
#include "ui/EditableCueWrapper.h"
#include "ui/TimetableCueComponent.h"

CueView::CueView (int height)
    : rowHeight (height)
{
    viewport.setScrollBarsShown (true, false, true, true);
    viewport.setScrollOnDragMode (juce::Viewport::ScrollOnDragMode::all);
    viewport.getVerticalScrollBar().setColour (
        juce::ScrollBar::thumbColourId,
        getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId).brighter (0.1f));
    viewport.setViewedComponent (&container, false);
    addAndMakeVisible (viewport);
    container.addComponentListener (this);
    container.addComponentListener (&scrollWatcher);
}

CueView::~CueView()
{
    container.removeComponentListener (&scrollWatcher);
    container.removeComponentListener (this);
    rows.clear();
    viewport.setViewedComponent (nullptr, false);
}

void CueView::setCueList (std::shared_ptr<CueList> newList, const juce::Array<juce::Colour>& hiddenColours)
{
    // Rows are made for one list: an edit in a row of another list must not reach this one.
    if (newList != list)
        rows.clear();
    list = std::move (newList);
    rebuild (hiddenColours);
}

void CueView::setFps (int fps)
{
    rowFps = fps;
    for (size_t i = 0; i < shownCues.size() && (int) i < rows.size(); ++i)
        if (auto* row = rows.getUnchecked ((int) i))
            row->setCue (shownCues[i].lock(), fps);
}

std::unique_ptr<CueWrapper> CueView::createWrapper()
{
    return std::make_unique<EditableCueWrapper> (list);
}

std::unique_ptr<CueComponent> CueView::createCueComponent (bool timetable)
{
    if (timetable)
        return std::make_unique<TimetableCueComponent>();
    return std::make_unique<CueComponent>();
}

void CueView::rebuild (juce::Array<juce::Colour> hiddenColours)
{
    shownCues.clear();

    if (list == nullptr)
    {
        rows.clear();
        layoutRows();
        return;
    }

    for (const auto& cue : list->getCues())
    {
        const auto argb = cue->getDisplayColor().getARGB();
        bool hidden = false;
        for (auto c : hiddenColours)
            hidden = hidden || c.getARGB() == argb;
        if (! hidden)
            shownCues.push_back (cue);
    }

    if (! shownCues.empty())
    {
        auto first = shownCues.front().lock();
        auto last = shownCues.back().lock();
        const auto start = toWholeMillis (first->getRange().getStart());
        span = { start, juce::jmax (start, toWholeMillis (last->getRange().getEnd())) };
    }

    const int n = (int) shownCues.size();
    rows.removeRange (n, rows.size() - n);
    while (rows.size() < n)
        rows.add (nullptr);

    timetableRows = list->isTimetable();
    rowFps = (int) list->getTree()[IDs::fps];
    // Rows built before get their new cue now; the others when they come into view.
    for (int i = 0; i < n; ++i)
    {
        if (auto* row = rows.getUnchecked (i))
        {
            row->setCueComponent (createCueComponent (timetableRows));
            row->setBounds (10, i * rowHeight, getWidth() - 20, rowHeight);
            row->setCue (shownCues[(size_t) i].lock(), rowFps);
        }
    }

    layoutRows();
}

void CueView::keepRowsBuffered (juce::Range<int> indices)
{
    indices = indices.getIntersectionWith ({ 0, rows.size() });
    for (int i = bufferedRows.getStart(); i < juce::jmin (bufferedRows.getEnd(), rows.size()); ++i)
        if (auto* row = rows.getUnchecked (i); row != nullptr && ! indices.contains (i))
            row->setBufferedToImage (false);
    for (int i = indices.getStart(); i < indices.getEnd(); ++i)
        getRow (i)->setBufferedToImage (true);
    bufferedRows = indices;
}

CueWrapper* CueView::getRow (int index) const
{
    if (! juce::isPositiveAndBelow (index, rows.size()))
        return nullptr;
    if (auto* row = rows.getUnchecked (index))
        return row;
    return buildRow (index);
}

CueWrapper* CueView::buildRow (int index) const
{
    // Building a row changes nothing that is seen, so getRow may do it on a const view.
    auto& self = const_cast<CueView&> (*this);
    auto* row = self.createWrapper().release();
    rows.set (index, row);
    // Made up while hidden: a component that is showing asks the display server whether its
    // window is minimised at every move, a round trip each.
    self.container.addChildComponent (row);
    row->setCueComponent (self.createCueComponent (timetableRows));
    row->setBounds (10, index * rowHeight, juce::jmax (0, viewport.getMaximumVisibleWidth() - 20), rowHeight);
    row->setCue ((size_t) index < shownCues.size() ? shownCues[(size_t) index].lock() : nullptr, rowFps);
    row->setVisible (true);
    return row;
}

void CueView::buildRowsInView()
{
    if (rows.isEmpty() || rowHeight <= 0)
        return;
    // Two rows of margin on each side: views that refresh the rows in view look one row
    // beyond the edges.
    // Read from the container itself: while it moves, the viewport may not have caught up.
    const int top = juce::jmax (0, -container.getY());
    const int first = juce::jlimit (0, rows.size(), top / rowHeight - 2);
    const int last = juce::jlimit (0, rows.size(), (top + viewport.getHeight()) / rowHeight + 3);
    for (int i = first; i < last; ++i)
        if (rows.getUnchecked (i) == nullptr)
            buildRow (i);
}

void CueView::resized()
{
    layoutRows();
}

void CueView::layoutRows()
{
    const auto position = viewport.getViewPosition();
    viewport.setBounds (getLocalBounds());

    const int width = viewport.getMaximumVisibleWidth();
    container.setBounds (0, 0, width, rowHeight * rows.size());
    for (auto* row : rows)
        if (row != nullptr)
            row->setBounds (row->getX(), row->getY(), juce::jmax (0, width - 20), row->getHeight());

    viewport.setViewPosition (position);
    buildRowsInView();
}
