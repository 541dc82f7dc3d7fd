#include "CueViewFixture.h"
#include "app/VantrelController.h"
#include "document/AppData.h"
#include "model/CategoryManager.h"
#include "model/CueListManager.h"
#include "ui/MainComponent.h"
#include "ui/MainCueView.h"
#include "tools/LtcSignal.h"

#include <thread>

namespace
{
using test::CueSpec;

class MainCueViewTest : public test::GuiFixture
{
protected:
    VantrelController controller;
    std::unique_ptr<MainCueView> view;

    ~MainCueViewTest() override
    {
        view.reset();
        controller.timeManager->master.stop();
    }

    /** Adds a list to the document and waits until the manager offers it. */
    std::shared_ptr<CueList> addList (const std::vector<CueSpec>& cues, bool timetable = false)
    {
        auto node = test::makeCueList (cues, 25, timetable)->getTree();
        controller.cueListManager->getState().appendChild (node, nullptr);
        const auto uuid = node[IDs::uuid].toString();
        std::shared_ptr<CueList> list;
        EXPECT_TRUE (test::pumpUntil ([&] { return (list = controller.cueListManager->getCueList (uuid)) != nullptr; }));
        return list;
    }

    void makeView() { view = std::make_unique<MainCueView> (controller); }

    void waitForRows (int n)
    {
        ASSERT_TRUE (test::pumpUntil ([&] { return view->getCueRows().getNumRows() == n; }))
            << view->getCueRows().getNumRows();
    }

    juce::uint32 categoryColour (int i) { return controller.categoryManager->getCategories()[(size_t) i]->getColor().getARGB(); }

    std::vector<CueSpec> twoColourCues()
    {
        const auto a = categoryColour (0), b = categoryColour (1);
        return { { 1, "One", 60000, 1000, a }, { 2, "Two", 120000, 1000, b }, { 3, "Three", 180000, 1000, a } };
    }
};

struct ScopedStdout
{
    ScopedStdout() { testing::internal::CaptureStdout(); }
    std::string take() { return testing::internal::GetCapturedStdout(); }
};
}

TEST (MainCueViewRules, EffectiveTime)
{
    auto timecodeList = test::makeCueList ({ { 1, "A", 1000, 0, 0xffffffff } });
    auto timetable = test::makeCueList ({ { 1, "A", 1000, 0, 0xffffffff } }, 1000, true);
    const struct
    {
        const CueList* list;
        bool internalClock;
        int expected;
    } cases[] = {
        { nullptr, true, 5000 },           // no list: passed on unchanged
        { nullptr, false, 5000 },
        { timecodeList.get(), false, 5000 },
        { timecodeList.get(), true, 0 },   // a timecode list on the computer's clock
        { timetable.get(), true, 5000 },
        { timetable.get(), false, 0 },     // a timetable with timecode
    };
    for (const auto& c : cases)
    {
        const TimeInfo in { 5000, 25, true, c.internalClock };
        const auto out = MainCueView::effectiveTime (in, c.list);
        EXPECT_EQ (out.time, c.expected);
        EXPECT_EQ (out.fps, 25);
        EXPECT_TRUE (out.running);
        EXPECT_EQ (out.internalClock, c.internalClock);
    }
}

TEST_F (MainCueViewTest, FirstSyncShowsTheLiveListWithoutAnyTime)
{
    auto list = addList (twoColourCues());
    makeView();
    EXPECT_EQ (view->getWidth(), 640);
    waitForRows (3);
    EXPECT_EQ (view->getCurrentCueList(), list);
    EXPECT_EQ (view->getColorMaskWidget().getNumButtons(), 2);
    EXPECT_EQ (view->getColorMaskWidget().getName(), "Show:");

    view->setSize (640, 1080);
    EXPECT_EQ (view->getTimecodeDisplay().getBounds(), juce::Rectangle<int> (20, 5, 600, 115));
    EXPECT_EQ (view->getCueListTabs().getBounds(), juce::Rectangle<int> (20, 125, 600, 27));
    EXPECT_EQ (view->getTimeline().getBounds(), juce::Rectangle<int> (20, 162, 600, 102));
    EXPECT_EQ (view->getColorMaskWidget().getBounds(), juce::Rectangle<int> (20, 274, 200, 10));
    EXPECT_EQ (view->getCueRows().getBounds(), juce::Rectangle<int> (0, 294, 640, 776));

    // The tabs and the timeline show the live list too.
    ASSERT_EQ (view->getCueListTabs().getNumTabs(), 1);
    EXPECT_TRUE (view->getCueListTabs().getTab (0)->getToggleState());
    EXPECT_EQ (view->getTimeline().getNumMarkers(), 3);
    EXPECT_EQ (view->getTimeline().getSpan(), juce::Range<int> (0, 181000));
}

TEST_F (MainCueViewTest, ATimetableHidesTheTimelineAndTheRestMovesUp)
{
    auto show = addList (twoColourCues());
    auto timetable = addList ({ { 1, "Doors", 68400000, 600000, categoryColour (0) } }, true);
    makeView();
    view->setSize (640, 1080);

    // The timetable comes first and is live at the start.
    waitForRows (1);
    EXPECT_EQ (view->getCurrentCueList(), timetable);
    EXPECT_FALSE (view->getTimeline().isVisible());
    EXPECT_EQ (view->getColorMaskWidget().getY(), 162);

    // The tabs bring the timecode list, and the timeline with it.
    auto& tabs = view->getCueListTabs();
    ASSERT_EQ (tabs.getNumTabs(), 2);
    ASSERT_EQ (tabs.getTab (1)->getCueList(), show);
    tabs.getTab (1)->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return view->getCurrentCueList() == show; }));
    EXPECT_TRUE (tabs.getTab (1)->getToggleState());
    EXPECT_TRUE (view->getTimeline().isVisible());
    EXPECT_EQ (view->getColorMaskWidget().getY(), 274);
    EXPECT_EQ (view->getTimeline().getNumMarkers(), 3);

    // A hidden colour leaves the timeline too.
    controller.colorMask->setColors ({ juce::Colour (categoryColour (1)) });
    EXPECT_EQ (view->getTimeline().getNumMarkers(), 2);

    controller.activeCueListHandler->setActiveCueList (timetable);
    EXPECT_FALSE (view->getTimeline().isVisible());
    EXPECT_EQ (view->getColorMaskWidget().getY(), 162);
}

TEST_F (MainCueViewTest, AnotherListKeepsThePlayheadAtTheTimeOfAStoppedClock)
{
    const auto colour = categoryColour (0);
    auto first = addList ({ { 1, "A", 10000, 0, colour }, { 2, "B", 190000, 10000, colour } });
    auto second = addList ({ { 1, "A", 20000, 0, colour }, { 2, "B", 290000, 10000, colour } });
    makeView();
    waitForRows (2);

    // One second of timecode from 00:00:50:00, fed as the audio callback would, then nothing.
    LtcSignal signal (48000.0, 25, { 0, 0, 50, 0 });
    auto& reader = controller.timeManager->master.getLTCReader();
    std::vector<float> block (512);
    for (int done = 0; done < 48000; done += 512)
    {
        signal.render (block.data(), 512);
        reader.processBlock (block.data(), 512, 0);
    }
    ASSERT_TRUE (test::pumpUntil ([&] { return view->getTimeline().getPlayhead() > 0.0f; }));
    ASSERT_TRUE (test::pumpUntil ([&] { return ! controller.timeManager->getTimeInfo().running; }));
    const auto stoppedAt = controller.timeManager->getTimeInfo().time;
    ASSERT_GE (stoppedAt, 50000);

    controller.activeCueListHandler->setActiveCueList (controller.activeCueListHandler->getActiveCueList() == first ? second : first);
    const auto live = view->getCurrentCueList();
    EXPECT_EQ (view->getTimeline().getPlayhead(), (float) (stoppedAt - live->getRange().getStart()));

    // So does a new audio file of the live list.
    live->getTree().setProperty (IDs::audiofile, "/nowhere/show.wav", nullptr);
    EXPECT_EQ (view->getTimeline().getPlayhead(), (float) (stoppedAt - live->getRange().getStart()));
}

TEST_F (MainCueViewTest, ANewListRateRewritesTheStartTimes)
{
    auto list = addList ({ { 1, "A", 10520, 1000, categoryColour (0) } });
    makeView();
    waitForRows (1);
    auto text = [&] { return view->getCueRows().getRow (0)->getCueComponent()->getTimeLabel().getText(); };
    EXPECT_EQ (text(), "00:00:10:13");

    list->getTree().setProperty (IDs::fps, 30, nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return text() == "00:00:10:16"; })) << text();
}

TEST_F (MainCueViewTest, AViewGoneWithinTenMillisecondsIsNeverTouched)
{
    auto list = addList (twoColourCues());
    makeView();
    view.reset();
    test::pumpFor (60);

    // Had the delayed sync run on the deleted view, it would have registered it with the list.
    auto node = list->getTree().getChildWithName (IDs::Cues).getChild (0).createCopy();
    list->getTree().getChildWithName (IDs::Cues).appendChild (node, nullptr);
    test::pumpFor (30);
    SUCCEED();
}

TEST_F (MainCueViewTest, ALiveListSwitchFromADriverThreadIsPostedToTheMessageThread)
{
    auto first = addList (twoColourCues());
    auto second = addList ({ { 1, "Only", 5000, 1000, categoryColour (0) } });
    makeView();
    waitForRows (3);

    // As a time driver asks for a switch: the handler posts it to the message thread, which
    // does not run the loop until the driver's call has returned.
    std::thread driver ([&] { controller.activeCueListHandler->setActiveCueListLocked (second); });
    driver.join();

    EXPECT_EQ (view->getCueRows().getNumRows(), 3) << "rows were rebuilt on the driver's thread";
    EXPECT_EQ (view->getCurrentCueList(), first);
    waitForRows (1);
    EXPECT_EQ (view->getCurrentCueList(), second);
}

TEST_F (MainCueViewTest, RowsStandAtZeroWhileTheListKindDoesNotMatchTheClock)
{
    // A timecode list, with cues a few milliseconds in: any time of day has passed them all.
    addList ({ { 1, "A", 1, 0, categoryColour (0) }, { 2, "B", 2, 0, categoryColour (0) }, { 3, "C", 3, 0, categoryColour (0) } });
    makeView();
    waitForRows (3);

    controller.timeManager->master.setDriver (0);
    ASSERT_TRUE (test::pumpUntil ([&] {
        const auto info = controller.timeManager->getTimeInfo();
        return info.internalClock && info.running && info.time > 10;
    }));

    // The rows count down from time 0; the clock shows the time of day.
    auto& rows = view->getCueRows();
    EXPECT_EQ (rows.getCurrentIndex(), 0);
    EXPECT_EQ (view->getTimecodeDisplay().getGlyphs().getNumGlyphs(), 8);

    // Changed cues rebuild the rows at the effective time too.
    view->cuesChanged();
    EXPECT_EQ (rows.getCurrentIndex(), 0);
    EXPECT_EQ (rows.getContainer().getMarkerY(), 0);
}

TEST_F (MainCueViewTest, InternalClockButtonSwitchesTheDriverAndTheDisplayFollowsLocalTime)
{
    addList (twoColourCues());
    makeView();
    waitForRows (3);
    auto& display = view->getTimecodeDisplay();
    ASSERT_EQ (display.driverSelector.getNumButtons(), 2);
    EXPECT_EQ (display.driverSelector.getButton (0)->getButtonText(), "Internal Clock");
    EXPECT_EQ (display.driverSelector.getSelectedIndex(), 1);

    display.driverSelector.getButton (0)->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return display.driverSelector.getSelectedIndex() == 0; }));
    EXPECT_EQ (controller.timeManager->master.getDriverIndex(), 0);

    auto secondsOfDay = [] (const juce::String& hhmmss)
    {
        return hhmmss.substring (0, 2).getIntValue() * 3600 + hhmmss.substring (3, 5).getIntValue() * 60
               + hhmmss.substring (6, 8).getIntValue();
    };
    ASSERT_TRUE (test::pumpUntil ([&] {
        if (display.getGlyphs().getNumGlyphs() != 8)
            return false;
        const auto now = juce::Time::getCurrentTime();
        const int local = now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds();
        const int diff = std::abs (secondsOfDay (display.getText()) - local);
        return juce::jmin (diff, 86400 - diff) <= 2;
    })) << display.getText();
    EXPECT_EQ (display.fpsSelector.getFps(), 1000);
}

TEST_F (MainCueViewTest, HidingAColourRemovesItsRowsAndUndoRestoresThem)
{
    addList (twoColourCues());
    makeView();
    waitForRows (3);
    auto* shown = view.get();
    MainComponent window (controller, view.release()); // the window owns the view now
    auto& mask = shown->getColorMaskWidget();
    ASSERT_TRUE (test::pumpUntil ([&] { return mask.getNumButtons() == 2; }));
    test::pumpFor (100); // the categories' usage notifications rebuild the buttons once more

    AppData::getUndoManager()->clearUndoHistory();
    mask.getButton (1)->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return shown->getCueRows().getNumRows() == 2; }))
        << controller.colorMask->getColors().size() << " " << mask.getButton (1)->getToggleState();
    EXPECT_FALSE (mask.isAllShown());
    EXPECT_FALSE (mask.getButton (1)->getToggleState());

    EXPECT_TRUE (window.keyPressed (juce::KeyPress ('z', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (shown->getCueRows().getNumRows(), 3);
    EXPECT_TRUE (mask.isAllShown());
    EXPECT_TRUE (mask.getButton (1)->getToggleState());
}

TEST_F (MainCueViewTest, KeyASwitchesOpenGLAndIsNeverConsumed)
{
    makeView();
    view->addToDesktop (0);
    view->setVisible (true);

    ScopedStdout out;
    EXPECT_FALSE (view->keyPressed (juce::KeyPress ('b')));
    EXPECT_FALSE (view->keyPressed (juce::KeyPress ('a', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_FALSE (view->keyPressed (juce::KeyPress ('a')));
    EXPECT_TRUE (view->openGLContext.isAttached());
    // The context comes up on the render thread and mutes the driver's notifications there.
    const bool initialised = test::pumpUntil ([&] { return view->getNumInitialisations() > 0; }, 20000);
    EXPECT_FALSE (view->keyPressed (juce::KeyPress ('A')));
    EXPECT_FALSE (view->openGLContext.isAttached());
    EXPECT_EQ (out.take(), "GL enabled\nGL disabled\n");
    EXPECT_TRUE (initialised);
}

namespace
{
std::vector<juce::uint32> debugCallArgs;
void fakeDebugMessageControl (GLenum source, GLenum type, GLenum severity,
                              GLsizei count, const GLuint* ids, GLboolean enabled)
{
    debugCallArgs = { source, type, severity, (juce::uint32) count, ids == nullptr ? 0u : 1u, enabled };
}
}

TEST (MainCueViewRules, DebugNotificationsAreMutedOnlyWhereTheDriverOffersIt)
{
    using namespace juce::gl;
    EXPECT_FALSE (MainCueView::muteDebugNotifications (nullptr));
    EXPECT_TRUE (MainCueView::muteDebugNotifications (&fakeDebugMessageControl));
    EXPECT_EQ (debugCallArgs, (std::vector<juce::uint32> { GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER,
                                                           GL_DEBUG_SEVERITY_NOTIFICATION, 0, 0, GL_FALSE }));
}
