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
}

CueView::~CueView()
{
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
    for (size_t i = 0; i < shownCues.size() && (int) i < rows.size(); ++i)
        rows.getUnchecked ((int) i)->setCue (shownCues[i].lock(), fps);
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
        container.addAndMakeVisible (rows.add (createWrapper()));

    const bool timetable = list->isTimetable();
    const int fps = (int) list->getTree()[IDs::fps];
    for (int i = 0; i < n; ++i)
    {
        auto* row = rows.getUnchecked (i);
        row->setCueComponent (createCueComponent (timetable));
        row->setBounds (10, i * rowHeight, getWidth() - 20, rowHeight);
        row->setCue (shownCues[(size_t) i].lock(), fps);
    }

    layoutRows();
}

void CueView::keepRowsBuffered (juce::Range<int> indices)
{
    indices = indices.getIntersectionWith ({ 0, rows.size() });
    for (int i = bufferedRows.getStart(); i < juce::jmin (bufferedRows.getEnd(), rows.size()); ++i)
        if (! indices.contains (i))
            rows.getUnchecked (i)->setBufferedToImage (false);
    for (int i = indices.getStart(); i < indices.getEnd(); ++i)
        rows.getUnchecked (i)->setBufferedToImage (true);
    bufferedRows = indices;
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
        row->setBounds (row->getX(), row->getY(), juce::jmax (0, width - 20), row->getHeight());

    viewport.setViewPosition (position);
}
