#pragma once

#include "model/CueListManager.h"
#include "pages/CsvFileComponent.h"
#include "ui/kit/LineComponent.h"
#include "ui/kit/ResizableViewportChild.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class ActiveCueListHandler;
class DefaultsManager;
class VantrelController;

/** The project page's list of cue lists (the timetable left out), one 33 px row each in
    document order. CSV files dropped on it become new lists; rows dragged by their handle
    reorder the lists; a click selects a list for the page. */
class CueListOrganizer : public ResizableViewportChild,
                         public juce::FileDragAndDropTarget,
                         public juce::DragAndDropTarget,
                         public juce::DragAndDropContainer,
                         private CueListManager::Listener
{
public:
    explicit CueListOrganizer (VantrelController& controller);
    ~CueListOrganizer() override;

    static constexpr int rowHeight = 33;

    /** Replaces every row with a new one per list that is not the timetable. */
    void rebuild();

    int getNumRows() const { return rows.size(); }
    CsvFileComponent* getRow (int index) const { return rows[index]; }
    int indexOfRow (const CsvFileComponent* row) const { return rows.indexOf (row); }

    /** Starts dragging the row (a row of this organizer), described by its position, unless a
        drag runs already. Returns whether this row is the one being dragged. */
    bool startRowDrag (CsvFileComponent& row);

    /** Every file ends in ".csv", letter case included. */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    /** One undo step "Add New CueList": each file is appended as a list at the default rate. */
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    bool isInterestedInDragSource (const SourceDetails&) override { return true; }
    void itemDragMove (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    void resized() override;
    void paint (juce::Graphics& g) override;

protected:
    void dragOperationEnded (const SourceDetails& details) override;

private:
    std::shared_ptr<CueListManager> manager;
    std::shared_ptr<ActiveCueListHandler> selection;
    std::shared_ptr<DefaultsManager> defaults;
    juce::OwnedArray<CsvFileComponent> rows;
    juce::OwnedArray<LineComponent> separators;
    juce::Path emptyIcon;
    juce::Component::SafePointer<CsvFileComponent> rowBeingDragged;

    /** The dragged row, when it is one of the rows shown now: rows are replaced on every
        change of the lists, also while a drag runs (an undo during the drag). */
    CsvFileComponent* draggedRow (const SourceDetails& details) const;
    void restoreRows();
    void cancelDrags();

    void cueListsChanged() override { rebuild(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueListOrganizer)
};
