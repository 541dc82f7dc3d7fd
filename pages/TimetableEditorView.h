#pragma once

#include "ui/kit/HeaderTab.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class CategoryManager;
class CueListManager;
class TimetableEditor;

/** The timetable page: one "Timetable" panel, at most 800 px wide. Its add button appends a
    cue (making the timetable first when there is none); its action menu deletes the timetable. */
class TimetableEditorView : public juce::Component
{
public:
    TimetableEditorView (std::shared_ptr<CueListManager> cueListManager, std::shared_ptr<CategoryManager> categoryManager);

    /** Item id of "Delete Timetable" in the action menu. */
    static constexpr int deleteTimetableId = 1;
    static constexpr int maxPanelWidth = 800;

    void addCue();
    void deleteTimetable (int itemId);

    HeaderTab& getPanel() { return panel; }
    TimetableEditor& getEditor() { return *editor; }

    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    std::shared_ptr<CueListManager> cueListManager;
    HeaderTab panel;
    TimetableEditor* editor = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TimetableEditorView)
};
