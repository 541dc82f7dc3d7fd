#pragma once

#include "model/CueList.h"
#include "model/CueListManager.h"
#include "ui/EditableCueWrapper.h"
#include "ui/kit/ResizableViewportChild.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CategoryManager;

/** The scrolled content of the timetable page: the timetable's name (edited on double
    click) and one editable 50 px row per cue. Rows are reused: a change of cues re-targets
    them in order and only adds or removes rows at the end. */
class TimetableEditor : public ResizableViewportChild,
                        private CueListManager::Listener,
                        private CueList::Listener
{
public:
    TimetableEditor (std::shared_ptr<CueListManager> cueListManager, std::shared_ptr<CategoryManager> categoryManager);
    ~TimetableEditor() override;

    static constexpr int rowHeight = 50;
    static constexpr int rowsTop = 55;

    /** Follows the manager's timetable (none, the same, or another). */
    void setTimetable();
    void rebuild();

    const std::shared_ptr<CueList>& getTimetable() const { return timetable; }
    juce::Label& getNameLabel() { return nameLabel; }
    int getNumRows() const { return rows.size(); }
    EditableCueWrapper* getRow (int index) const { return rows[index]; }

    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    std::shared_ptr<CueListManager> cueListManager;
    std::shared_ptr<CategoryManager> categoryManager;
    std::shared_ptr<CueList> timetable;
    juce::Label nameLabel;
    juce::OwnedArray<EditableCueWrapper> rows;

    void updateContentHeight();

    void cueListsChanged() override { setTimetable(); }
    void cueListNameChanged() override;
    void cuesChanged() override { rebuild(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimetableEditor)
};
