#pragma once

#include "model/CueList.h"
#include "ui/AddSubtractComponent.h"
#include "ui/CueWrapper.h"
#include "ui/kit/SvgButton.h"
#include <memory>

class CategoryDropdown;
class CategoryManager;

/** A cue row of the preferences pages: the name edits on double click, a colour dot at the
    left chooses the category, and timetable rows get a "+"/"-" control that lengthens or
    shortens the cue by a minute (moving every later cue with it) and a red remove button.
    Every edit is one undo step. */
class EditableCueWrapper : public CueWrapper, private Cue::Listener
{
public:
    /** The list that holds the row's cues; the wrapper does not keep it alive. */
    explicit EditableCueWrapper (std::weak_ptr<CueList> list);
    ~EditableCueWrapper() override;

    CategoryDropdown* getCategoryChooser() const { return categoryChooser.get(); }
    SvgButton& getRemoveButton() { return removeButton; }
    AddSubtractComponent& getAddSubtract() { return addSubtract; }

    void resized() override;

private:
    std::weak_ptr<CueList> list;
    std::shared_ptr<CategoryManager> categoryManager;
    std::unique_ptr<CategoryDropdown> categoryChooser;
    SvgButton removeButton;
    AddSubtractComponent addSubtract;
    std::weak_ptr<Cue> cue;

    void cueChanged() override;
    void cueCategoryChanged() override;
    void setOvertime (int minutes);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditableCueWrapper)
};
