#pragma once

#include "model/ActiveCueListHandler.h"
#include "model/CueList.h"
#include "ui/kit/SvgButton.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

class CueListManager;

/** One row of the cue-list organizer: a drag handle, the list's name and offset (edited after
    a double click; leaving the field discards the edit), an arrow while the list is the one
    selected on the project page, and a delete button. */
class CsvFileComponent : public juce::Component,
                         private CueList::Listener,
                         private ActiveCueListHandler::Listener
{
public:
    CsvFileComponent (std::shared_ptr<CueListManager> manager, std::shared_ptr<ActiveCueListHandler> selection,
                      std::shared_ptr<CueList> list);
    ~CsvFileComponent() override;

    /** A click on the row's free area or on its name; called only while set. */
    std::function<void()> onClick;

    const std::shared_ptr<CueList>& getCueList() const { return cueList; }
    bool isActive() const { return active; }

    SvgButton& getHandle() { return handle; }
    juce::Label& getNameLabel() { return nameLabel; }
    juce::Label& getOffsetLabel() { return offsetLabel; }
    SvgButton& getActiveIcon() { return activeIcon; }
    SvgButton& getDeleteButton() { return deleteButton; }

    /** Starts dragging this row in the organizer it lies in (the handle's mouse drags). */
    void startRowDrag();

    void mouseUp (const juce::MouseEvent& e) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    SvgButton handle;
    juce::Label nameLabel;
    juce::Label offsetLabel;
    SvgButton activeIcon;
    SvgButton deleteButton;
    std::shared_ptr<CueList> cueList;
    std::shared_ptr<ActiveCueListHandler> selection;
    std::shared_ptr<CueListManager> manager;
    bool active = false;

    void cueListNameChanged() override;
    void cueListOffsetChanged() override;
    void activeCueListChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CsvFileComponent)
};
