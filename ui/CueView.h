#pragma once

#include "model/CueList.h"
#include "ui/CueWrapper.h"
#include "ui/kit/CueContainer.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <vector>

/** A vertically scrolling list with one row per cue of one cue list, leaving out the cues
    whose display colour is hidden.

    A row is built when it first comes near the visible area (or is asked for with getRow),
    so a list of a hundred thousand cues opens as fast as a short one; rows that were built
    stay. The container always has the height of every row. */
class CueView : public juce::Component, protected juce::ComponentListener
{
public:
    explicit CueView (int rowHeight);
    ~CueView() override;

    /** Shows the list (may be empty) without the cues of the hidden colours. Every call
        gives the rows new row components. */
    void setCueList (std::shared_ptr<CueList> list, const juce::Array<juce::Colour>& hiddenColours);

    /** Gives every row its cue again at the new rate. */
    void setFps (int fps);

    int getRowHeight() const { return rowHeight; }
    int getNumRows() const { return rows.size(); }
    /** The row, built now if it was not yet; null outside the list. */
    CueWrapper* getRow (int index) const;
    const CueContainer& getContainer() const { return container; }
    juce::Viewport& getViewport() { return viewport; }
    juce::Range<int> getSpan() const { return span; }

    void resized() override;

protected:
    virtual std::unique_ptr<CueWrapper> createWrapper();
    virtual std::unique_ptr<CueComponent> createCueComponent (bool timetable);

    /** Places the viewport, the container and the rows, keeping the scroll position. */
    void layoutRows();

    /** Keeps the rows with these indices drawn into images of their own, so a repaint over
        them (a scroll, a neighbour's change) copies them instead of drawing them again; a row
        redraws into its image only what changed in it. Rows outside the range give their
        images up, so a long list holds images only for the rows around the view. Works for
        every kind of row, whatever its wrapper holds. */
    void keepRowsBuffered (juce::Range<int> indices);

    juce::Viewport viewport;
    CueContainer container;
    std::shared_ptr<CueList> list;
    std::vector<std::weak_ptr<Cue>> shownCues;
    /** One entry per shown cue; null for a row not built yet. */
    mutable juce::OwnedArray<CueWrapper> rows;
    juce::Range<int> span;
    const int rowHeight;

private:
    juce::Range<int> bufferedRows;
    /** Builds the rows near the visible area whenever the container moves or changes size. */
    struct ScrollWatcher : juce::ComponentListener
    {
        explicit ScrollWatcher (CueView& v) : view (v) {}
        void componentMovedOrResized (juce::Component&, bool, bool) override { view.buildRowsInView(); }
        CueView& view;
    };

    ScrollWatcher scrollWatcher { *this };
    bool timetableRows = false;
    int rowFps = 0;

    void rebuild (juce::Array<juce::Colour> hiddenColours);
    CueWrapper* buildRow (int index) const;
    void buildRowsInView();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueView)
};
