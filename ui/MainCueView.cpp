#include "ui/MainCueView.h"

#include "app/VantrelController.h"
#include <iostream>

MainCueView::MainCueView (VantrelController& controller)
    : cueListTabs (controller.cueListManager, *controller.activeCueListHandler),
      colorMaskWidget (controller.categoryManager, controller.colorMask),
      liveList (*controller.activeCueListHandler),
      timeManager (*controller.timeManager),
      master (timeManager.master),
      colorMask (*controller.colorMask)
{
    // The base has made the view opaque and attached the context with continuous repainting.
    liveList.addListener (this);
    timeManager.addListener (this);

    addAndMakeVisible (cueListTabs);
    addAndMakeVisible (cueRows);

    timecodeDisplay.fpsSelector.onFpsSelected = [this] (int fps) { master.setFps (fps); };
    timecodeDisplay.fpsSelector.setFps (master.getFps());
    timecodeDisplay.driverSelector.onDriverSelected = [this] (int index) { master.setDriver (index); };
    const auto names = master.getDriverNames();
    timecodeDisplay.driverSelector.setDriverNames (names);
    timecodeDisplay.driverSelector.setSelected (names.indexOf (master.getName()));
    addAndMakeVisible (timecodeDisplay);

    // Browsers get the live list's waveform; this timeline takes no drops.
    timeline.onWaveform = [publish = controller.getWaveformPublisher()] (juce::Array<int> peaks, double lengthMs)
    { publish (peaks, (float) lengthMs); };
    addAndMakeVisible (timeline);

    colorMaskWidget.setName ("Show:");
    colorMaskWidget.setColour (juce::Label::textColourId,
                               findColour (juce::Label::textColourId).withAlpha ((juce::uint8) 128));
    // Added last: opened, it lies over the rows.
    addAndMakeVisible (colorMaskWidget);

    colorMask.addListener (this);

    // The process has no OpenGL functions until a context was first created on the render
    // thread, so the view starts on the software renderer; "a" attaches the context.
    if (juce::gl::glActiveTexture == nullptr)
        openGLContext.detach();

    int height = 800;
    if (auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        height = display->userArea.getHeight();
    setSize (640, height);

    // The first sync runs once the window holding the view exists.
    juce::Timer::callAfterDelay (10, [safe = SafePointer<MainCueView> (this)]
    {
        if (auto* view = safe.getComponent())
        {
            view->activeCueListChanged();
            view->colorMaskWidget.categoriesChanged();
        }
    });
}

MainCueView::~MainCueView()
{
    shutdownOpenGL();
    colorMask.removeListener (this);
    if (currentList != nullptr)
        currentList->removeListener (this);
    timeManager.removeListener (this);
    liveList.removeListener (this);
    currentList.reset();
}

TimeInfo MainCueView::effectiveTime (const TimeInfo& info, const CueList* list)
{
    auto result = info;
    if (list != nullptr && info.internalClock != list->isTimetable())
        result.time = 0;
    return result;
}

bool MainCueView::muteDebugNotifications (DebugMessageControl control)
{
    using namespace juce::gl;
    if (control == nullptr)
        return false;
    control (GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, GL_DEBUG_SEVERITY_NOTIFICATION, 0, nullptr, GL_FALSE);
    return true;
}

void MainCueView::timeChanged (const TimeInfo& info)
{
    const auto effective = effectiveTime (info);
    cueRows.timeChanged (effective, false);
    timeline.setPlayhead (effective.time);
    timecodeDisplay.setTime (info);
}

void MainCueView::signalInterrupted()
{
    timecodeDisplay.flash();
}

void MainCueView::driverChanged (int driverIndex)
{
    timecodeDisplay.driverSelector.setSelected (driverIndex);
    const auto info = timeManager.getTimeInfo();
    timecodeDisplay.fpsSelector.setFps (info.fps);
    timecodeDisplay.setTime (info);
    timecodeDisplay.resized();
}

void MainCueView::activeCueListChanged()
{
    // The live handler announces every switch on the message thread, a time driver's too
    // (it posts those), so the rows are never built on a driver's thread.
    JUCE_ASSERT_MESSAGE_THREAD
    followActiveCueList();
}

void MainCueView::followActiveCueList()
{
    const bool timelineWasVisible = timeline.isVisible();
    if (currentList != nullptr)
        currentList->removeListener (this);

    currentList = liveList.getActiveCueList();
    cueRows.setCueList (currentList, colorMask.getColors());
    cueRows.timeChanged (effectiveTime (timeManager.getTimeInfo()), true);

    // A timetable has no audio; without a list the timeline keeps its visibility.
    if (currentList != nullptr)
        timeline.setVisible (! currentList->isTimetable());
    if (timeline.isVisible())
        updateTimeline();

    if (currentList != nullptr)
        currentList->addListener (this);
    if (timeline.isVisible() != timelineWasVisible)
        resized();
}

void MainCueView::updateTimeline()
{
    timeline.setCueList (currentList.get(), colorMask.getColors());
    // Setting the list puts the playhead at 0; a clock standing still would leave it there.
    timeline.setPlayhead (effectiveTime (timeManager.getTimeInfo()).time);
}

void MainCueView::colorMaskChanged()
{
    cueRows.setCueList (currentList, colorMask.getColors());
    // The shown cues changed, so the next cue's index did too; while time stands still no
    // publication would put the marker right.
    cueRows.timeChanged (effectiveTime (timeManager.getTimeInfo()), true);
    if (timeline.isVisible())
        updateTimeline();
}

void MainCueView::cuesChanged()
{
    cueRows.setCueList (currentList, colorMask.getColors());
    cueRows.timeChanged (effectiveTime (timeManager.getTimeInfo()), true);
}

void MainCueView::cueListAudioFileChanged()
{
    updateTimeline();
}

void MainCueView::cueListFpsChanged()
{
    if (currentList != nullptr)
        cueRows.setFps (currentList->getFps());
}

void MainCueView::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void MainCueView::resized()
{
    using Item = juce::FlexItem;
    juce::FlexBox box;
    box.flexDirection = juce::FlexBox::Direction::column;
    box.flexWrap = juce::FlexBox::Wrap::noWrap;
    box.alignContent = juce::FlexBox::AlignContent::stretch;
    box.alignItems = juce::FlexBox::AlignItems::stretch;
    box.justifyContent = juce::FlexBox::JustifyContent::flexStart;

    box.items.add (Item (timecodeDisplay).withFlex (1.0f).withMaxHeight (115.0f).withMargin ({ 5, 20, 0, 20 }));
    box.items.add (Item (cueListTabs).withHeight (27.0f).withMargin ({ 5, 20, 0, 20 }));
    if (timeline.isVisible())
        box.items.add (Item (timeline).withFlex (0.4f).withMinHeight (50.0f).withMaxHeight (102.0f).withMargin ({ 10, 20, 0, 20 }));
    box.items.add (Item (colorMaskWidget).withWidth (200.0f).withHeight (10.0f).withMargin ({ 10, 20, 0, 20 }));
    box.items.add (Item (cueRows).withFlex (4.0f).withMargin ({ 10, 0, 10, 0 }));

    box.performLayout (getLocalBounds().toFloat());
}

bool MainCueView::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress ('a'))
    {
        if (openGLContext.isAttached())
        {
            openGLContext.detach();
            std::cout << "GL disabled" << std::endl;
        }
        else
        {
            openGLContext.attachTo (*this);
            std::cout << "GL enabled" << std::endl;
        }
    }
    // Never consumed: the window's undo keys must still arrive.
    return false;
}

void MainCueView::initialise()
{
    ++numInitialisations;
    muteDebugNotifications (juce::gl::glDebugMessageControl);
}
