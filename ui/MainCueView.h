#pragma once

#include "model/ActiveCueListHandler.h"
#include "model/ColorMask.h"
#include "model/CueList.h"
#include "time/TimeManager.h"
#include "ui/AnimatedCueView.h"
#include "ui/ColorMaskWidget.h"
#include "ui/CueListTabs.h"
#include "ui/TimecodeDisplay.h"
#include "ui/TimelineComponent.h"
#include <juce_opengl/juce_opengl.h>
#include <atomic>
#include <type_traits>

class VantrelController;

/** The show screen, the main window's content: the clock with its driver and frame-rate
    buttons, the cue-list tabs, the audio timeline, the "Show:" colour filter and the
    scrolling cue rows of the live cue list. It
    follows the live list, the colour mask and the time manager. The key "a" switches rendering
    through OpenGL on and off; it starts on the software renderer. */
class MainCueView : public juce::OpenGLAppComponent,
                    public CueList::Listener,
                    public ColorMask::Listener,
                    public TimeManager::Listener,
                    public ActiveCueListHandler::Listener
{
public:
    explicit MainCueView (VantrelController& controller);
    ~MainCueView() override;

    /** The time the rows and the playhead follow: 0 while the live list's kind does not match
        the clock (a timetable with timecode, a timecode list with the computer's clock). */
    static TimeInfo effectiveTime (const TimeInfo& info, const CueList* list);

    using DebugMessageControl = std::remove_reference_t<decltype (juce::gl::glDebugMessageControl)>;
    /** Mutes the driver's notification-level debug messages through the given entry point;
        returns false, doing nothing, when the driver does not offer it. */
    static bool muteDebugNotifications (DebugMessageControl control);

    // TimeManager::Listener
    void timeChanged (const TimeInfo& info) override;
    void signalInterrupted() override;
    void driverChanged (int driverIndex) override;

    /** May arrive on a time driver's thread: then it is posted to the message thread. */
    void activeCueListChanged() override;
    void colorMaskChanged() override;
    void cuesChanged() override;
    void cueListAudioFileChanged() override;
    /** The rows write their start times at the list's new rate. */
    void cueListFpsChanged() override;

    std::shared_ptr<CueList> getCurrentCueList() const { return currentList; }
    TimecodeDisplay& getTimecodeDisplay() { return timecodeDisplay; }
    ColorMaskWidget& getColorMaskWidget() { return colorMaskWidget; }
    CueListTabs& getCueListTabs() { return cueListTabs; }
    TimelineComponent& getTimeline() { return timeline; }
    AnimatedCueView& getCueRows() { return cueRows; }
    int getNumInitialisations() const { return numInitialisations.load(); }

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

    // OpenGL render thread
    void initialise() override;
    void shutdown() override {}
    void render() override {}

private:
    void followActiveCueList();
    void updateTimeline();
    TimeInfo effectiveTime (const TimeInfo& info) const { return effectiveTime (info, currentList.get()); }

    TimecodeDisplay timecodeDisplay;
    CueListTabs cueListTabs;
    ColorMaskWidget colorMaskWidget;
    TimelineComponent timeline;
    AnimatedCueView cueRows;
    // What the view reads, taken once from the controller, which outlives every view.
    ActiveCueListHandler& liveList;
    TimeManager& timeManager;
    MasterTimeDriver& master;
    ColorMask& colorMask;
    std::shared_ptr<CueList> currentList;

    std::atomic<int> numInitialisations { 0 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainCueView)
};
