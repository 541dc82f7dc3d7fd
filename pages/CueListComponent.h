#pragma once

#include "model/ActiveCueListHandler.h"
#include "model/CueList.h"
#include "ui/CueView.h"
#include "ui/TimelineComponent.h"
#include "ui/kit/FpsComboBox.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The panel of the cue list selected on the project page: the imported file's name, the
    frame rate, the show's start, the audio timeline (which takes one dropped audio file) and
    the cues. Names its parent panel after the list; hidden for no list and for the timetable. */
class CueListComponent : public juce::Component,
                         private ActiveCueListHandler::Listener,
                         private CueList::Listener
{
public:
    explicit CueListComponent (ActiveCueListHandler& selection);
    ~CueListComponent() override;

    static constexpr int cueRowHeight = 42;

    const std::shared_ptr<CueList>& getCueList() const { return list; }
    juce::Label& getFileLabel() { return fileLabel; }
    juce::Label& getStartLabel() { return startLabel; }
    FpsComboBox& getFpsBox() { return fpsBox; }
    TimelineComponent& getTimeline() { return timeline; }
    CueView& getCueView() { return cueView; }

    void resized() override;

private:
    ActiveCueListHandler& selection;
    std::shared_ptr<CueList> list;
    juce::Label fileLabel;
    juce::Label startLabel;
    FpsComboBox fpsBox;
    TimelineComponent timeline;
    CueView cueView { cueRowHeight };

    void activeCueListChanged() override;
    void setPanelTitle (const juce::String& title);
    void showStart();

    void cueListNameChanged() override;
    void cueListOffsetChanged() override { showStart(); }
    void cueListAudioFileChanged() override;
    void cueListFpsChanged() override;
    void cuesChanged() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CueListComponent)
};
