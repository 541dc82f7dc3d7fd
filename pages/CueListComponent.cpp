#include "pages/CueListComponent.h"

#include "document/AppData.h"

CueListComponent::CueListComponent (ActiveCueListHandler& selectionHandler)
    : selection (selectionHandler)
{
    addAndMakeVisible (timeline);
    addAndMakeVisible (cueView);
    addAndMakeVisible (fileLabel);
    addAndMakeVisible (startLabel);
    startLabel.setJustificationType (juce::Justification::centredRight);
    addAndMakeVisible (fpsBox);

    selection.addListener (this);

    // The first binding waits for the page to be laid out; a page closed before then is gone.
    juce::Timer::callAfterDelay (10, [self = juce::Component::SafePointer<CueListComponent> (this)]
    {
        if (self != nullptr)
            self->activeCueListChanged();
    });
}

CueListComponent::~CueListComponent()
{
    selection.removeListener (this);
    if (list != nullptr)
        list->removeListener (this);
}

void CueListComponent::setPanelTitle (const juce::String& title)
{
    if (auto* parent = getParentComponent())
        parent->setName (title);
}

void CueListComponent::activeCueListChanged()
{
    if (list != nullptr)
        list->removeListener (this);
    list = selection.getActiveCueList();

    timeline.setCueList (list.get(), {});
    cueView.setCueList (list, {});

    const bool shown = list != nullptr && ! list->isTimetable();
    setVisible (shown);
    if (! shown)
    {
        // Nothing here may still write to a list that is no longer on display.
        timeline.onFileDropped = nullptr;
        fpsBox.onChange = nullptr;
        setPanelTitle ({});
        return;
    }

    list->addListener (this);
    const std::weak_ptr<CueList> shownList = list;
    timeline.onFileDropped = [shownList] (const juce::File& file)
    {
        // Opens "Set CueList Audiofile" and records the full path through the undo manager.
        if (auto l = shownList.lock())
            l->setAudioFile (file.getFullPathName());
    };
    fpsBox.setFps (list->getFps());
    fpsBox.onChange = [this, shownList]
    {
        if (auto l = shownList.lock())
        {
            if (auto* um = AppData::getUndoManager())
                um->beginNewTransaction ("Set CueList Fps");
            l->setFps (fpsBox.getFps());
        }
    };
    showStart();
    fileLabel.setText (list->getFile(), juce::dontSendNotification);
    setPanelTitle (list->getName());
}

void CueListComponent::showStart()
{
    if (list != nullptr)
        startLabel.setText ("Start Show: " + list->getStartTimecode(), juce::dontSendNotification);
}

void CueListComponent::cueListNameChanged()
{
    setPanelTitle (list->getName());
}

void CueListComponent::cueListAudioFileChanged()
{
    timeline.setCueList (list.get(), {});
}

void CueListComponent::cueListFpsChanged()
{
    const int fps = list->getFps();
    fpsBox.setFps (fps);
    cueView.setFps (fps);
}

void CueListComponent::cuesChanged()
{
    cueView.setCueList (list, {});
}

void CueListComponent::resized()
{
    const int w = getWidth(), h = getHeight();
    const int c = juce::jmax (0, w - 20);
    const int m = juce::jmin (c, 80);
    const int top = juce::jmin (h, 50);

    fpsBox.setBounds (c - m + 10, 10, m, juce::jmax (0, top - 20));
    fileLabel.setBounds (10, 10, c - m, juce::jmax (0, top - 20));

    const int r = h - top;
    const int s = juce::jmin (r, 23);
    startLabel.setBounds (15, top, juce::jmax (0, w - 30), juce::jmax (0, s));

    const int t = juce::jmin (r - s, 80);
    timeline.setBounds (10, top + s + 10, c, juce::jmax (0, t - 20));
    cueView.setBounds (0, top + s + t, w, r - s - t);
}
