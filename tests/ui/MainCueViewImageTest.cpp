// The show screen drawn at fixed times must look as it did when the references were made:
// whatever is cached or repainted in parts, the picture stays the same. The references live
// in tests/data/main-view; VANTREL_WRITE_REFERENCES=1 writes them anew from the code as it is
// (only ever from code whose pictures are known to be right). On screen, where only what
// changed is drawn again, the window must show what a full drawing shows: the test keeps a
// screen of its own that, like the window's, is drawn only where a repaint asked for it.

#include "AudioFiles.h"
#include "CueViewFixture.h"
#include "ImageComparison.h"
#include "app/VantrelController.h"
#include "model/CategoryManager.h"
#include "model/CueListManager.h"
#include "ui/MainCueView.h"

namespace
{
using test::CueSpec;

bool writingReferences()
{
    return juce::SystemStats::getEnvironmentVariable ("VANTREL_WRITE_REFERENCES", {}).isNotEmpty();
}

juce::File referenceFile (const juce::String& name)
{
    return juce::File (VANTREL_TEST_DATA_DIR).getChildFile ("main-view").getChildFile (name + ".png");
}

juce::File differingFile (const juce::String& name)
{
    return juce::File (VANTREL_BINARY_DIR).getChildFile ("tests/image-diffs").getChildFile (name + ".png");
}

/** A sine whose loudness swells and falls, so the waveform has a shape to compare. */
float swellingSine (int i)
{
    const float envelope = 0.15f + 0.8f * std::abs (std::sin ((float) i / 8000.0f * 0.7f));
    return envelope * std::sin ((float) i * 0.3f);
}

class MainCueViewImages : public test::GuiFixture, public ::testing::WithParamInterface<int>
{
protected:
    VantrelController controller;
    std::unique_ptr<MainCueView> view;

    ~MainCueViewImages() override
    {
        view.reset();
        controller.timeManager->master.stop();
    }

    juce::uint32 categoryColour (int i)
    {
        return controller.categoryManager->getCategories()[(size_t) i]->getColor().getARGB();
    }

    std::shared_ptr<CueList> addList (const juce::String& name, const std::vector<CueSpec>& cues,
                                      const juce::File& audio = {})
    {
        auto node = test::makeCueList (cues, 25)->getTree();
        node.setProperty (IDs::name, name, nullptr);
        if (audio != juce::File())
            node.setProperty (IDs::audiofile, audio.getFullPathName(), nullptr);
        controller.cueListManager->getState().appendChild (node, nullptr);
        const auto uuid = node[IDs::uuid].toString();
        std::shared_ptr<CueList> list;
        EXPECT_TRUE (test::pumpUntil ([&] { return (list = controller.cueListManager->getCueList (uuid)) != nullptr; }));
        return list;
    }

    /** A show of passed, next and future cues (one in a hidden colour, one rainbow) with
        its audio, two more lists for the tabs, one colour hidden. */
    void buildShow()
    {
        const auto audio = home.getHome().getChildFile ("show.wav");
        juce::WavAudioFormat wav;
        ASSERT_TRUE (test::writeAudio (wav, audio, 8000, 200 * 8000, swellingSine));

        const auto audioColour = categoryColour (1), light = categoryColour (2), video = categoryColour (3),
                   hidden = categoryColour (4);
        std::vector<CueSpec> cues { { 1, "Intro", 10000, 2000, audioColour },
                                    { 2, "Lights up", 20000, 2000, light },
                                    { 3, "Haze", 25000, 2000, hidden },
                                    { 4, "Band walk-on", 30000, 2000, video },
                                    { 5, "Rainbow Finale", 40000, 2000, light } };
        static const char* const names[] = { "Verse", "Chorus", "Solo", "Bridge", "Pyro", "Confetti" };
        const juce::uint32 colours[] = { audioColour, light, video, hidden };
        for (int i = 0; i < 25; ++i)
            cues.push_back ({ 6 + i, names[i % 6], 45000.0 + 5000.0 * i, 2000, colours[i % 4] });

        // 30 cues, 7 of them in the hidden colour: 23 rows.
        auto show = addList ("Main Show", cues, audio);
        addList ("Encore", { { 1, "Encore", 300000, 2000, light } });
        addList ("Soundcheck", { { 1, "Line check", 400000, 2000, audioColour } });
        ASSERT_NE (show, nullptr);

        controller.colorMask->setColors ({ juce::Colour (hidden) });
        controller.activeCueListHandler->setActiveCueList (show);

        view = std::make_unique<MainCueView> (controller);
        view->setSize (GetParam(), 1000);
        auto& timeline = view->getTimeline();
        ASSERT_TRUE (test::pumpUntil ([&] {
            return view->getCueRows().getNumRows() == 23 && timeline.getThumbnail().isFullyLoaded()
                   && timeline.getThumbnail().getNumChannels() == 1 && ! timeline.isReducingPeaks();
        }, 30000));
        waitForScrollEnd();
    }

    /** The timetable on the computer's clock: passed, running (one rainbow) and future cues
        around one in the afternoon, as the main view shows it. */
    void buildTimetable()
    {
        constexpr double minute = 60000.0, hour = 60.0 * minute;
        const auto audioColour = categoryColour (1), light = categoryColour (2), video = categoryColour (3);
        static const char* const names[] = { "Doors", "Support act", "Rainbow Raffle", "Changeover", "Headliner",
                                             "Encore", "Curfew", "Load-out" };
        const juce::uint32 colours[] = { audioColour, light, video };
        std::vector<CueSpec> cues;
        for (int i = 0; i < 8; ++i)
            cues.push_back ({ i + 1, names[i], 12.0 * hour + 25.0 * minute * i, 50.0 * minute, colours[i % 3] });

        auto node = test::makeCueList (cues, 1000, true)->getTree();
        node.setProperty (IDs::name, "Festival Day", nullptr);
        controller.cueListManager->getState().appendChild (node, nullptr);
        std::shared_ptr<CueList> list;
        ASSERT_TRUE (test::pumpUntil ([&] { return (list = controller.cueListManager->getTimetable()) != nullptr; }));
        controller.activeCueListHandler->setActiveCueList (list);

        view = std::make_unique<MainCueView> (controller);
        view->setSize (GetParam(), 1000);
        ASSERT_TRUE (test::pumpUntil ([&] { return view->getCueRows().getNumRows() == 8; }));
        waitForScrollEnd();
    }

    /** A time of day on the computer's clock. */
    static TimeInfo clockAt (int time) { return { time, 1000, true, true }; }

    void waitForScrollEnd()
    {
        ASSERT_TRUE (test::pumpUntil ([&] { return ! view->getCueRows().isAnimating(); }));
        test::settle();
    }

    /** Compares the view with its reference (or writes the reference). */
    void check (const juce::String& state)
    {
        const auto name = state + "-" + juce::String (GetParam());
        const auto image = view->createComponentSnapshot (view->getLocalBounds(), true, 1.0f);

        if (writingReferences())
        {
            ASSERT_TRUE (test::writePng (image, referenceFile (name)));
            return;
        }

        const auto reference = test::readPng (referenceFile (name));
        ASSERT_TRUE (reference.isValid()) << "no reference " << referenceFile (name).getFullPathName();
        const auto difference = test::compareImages (image, reference);
        if (! difference.looksTheSame())
            test::writePng (image, differingFile (name));
        EXPECT_TRUE (difference.looksTheSame())
            << name << ": " << difference.pixelsOff << " of " << difference.numPixels
            << " pixels off, worst channel by " << difference.worst << "; drawn: "
            << differingFile (name).getFullPathName();
    }
};
}

TEST_P (MainCueViewImages, LookAsBeforeAtFixedTimes)
{
    buildShow();
    ASSERT_FALSE (HasFatalFailure());

    // Before any timecode: the start times, nothing passed.
    view->timeChanged ({ 0, 25, false, false });
    waitForScrollEnd();
    check ("stopped");

    // Counting down: three cues passed and dimmed, the rainbow cue next with its bar half full.
    view->timeChanged (test::runningAt (38500));
    waitForScrollEnd();
    check ("countdown");

    // The next cue moves six rows on: a frame half-way through the scroll.
    view->timeChanged (test::runningAt (71000));
    ASSERT_TRUE (view->getCueRows().isAnimating());
    view->getCueRows().showScrollAt (0.5);
    check ("scrolling");

    // And where the scroll ends, a little later.
    view->timeChanged (test::runningAt (72480));
    waitForScrollEnd();
    check ("scrolled");
}

TEST_P (MainCueViewImages, TimetableLooksAsBeforeOnTheClock)
{
    buildTimetable();
    ASSERT_FALSE (HasFatalFailure());

    // 13:12:30: the first cue over, two running (their bars part gone, one rainbow), the rest to come.
    view->timeChanged (clockAt (((13 * 60 + 12) * 60 + 30) * 1000));
    waitForScrollEnd();
    check ("timetable");
}

namespace
{
// Under ThreadSanitizer every pixel drawn is a checked memory access, and a frame of this view
// (the window's and the test's screen, the waveform all over again as it scrolls) takes a third
// of a second: drawing after every update kept a test busy for minutes. That build looks for
// races, not pixels, so it draws after every eighth update, as a machine too busy to draw each
// one would; every update still arrives. The plain build draws after each.
#if defined(__SANITIZE_THREAD__)
constexpr int updatesPerFrame = 8;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr int updatesPerFrame = 8;
#else
constexpr int updatesPerFrame = 1;
#endif
#else
constexpr int updatesPerFrame = 1;
#endif

/** Sits on the window's top component and hears every repaint that reaches the window; the
    test's own screen image is drawn only where one did, as the window's is. */
struct RepaintRecorder : juce::CachedComponentImage
{
    explicit RepaintRecorder (juce::Component& c) : owner (c) {}

    void paint (juce::Graphics& g) override { owner.paintEntireComponent (g, true); }
    bool invalidateAll() override
    {
        pending = owner.getLocalBounds();
        return true;
    }
    bool invalidate (const juce::Rectangle<int>& area) override
    {
        pending.add (area);
        return true;
    }
    void releaseResources() override {}

    /** Draws what was asked for since the last call into the screen image. */
    const juce::Image& updateScreen()
    {
        if (screen.getBounds() != owner.getLocalBounds())
        {
            screen = juce::Image (juce::Image::RGB, owner.getWidth(), owner.getHeight(), true);
            pending = owner.getLocalBounds();
        }
        // Painting may ask for more (rows that scrolled in refresh themselves): go round.
        for (int round = 0; round < 4 && ! pending.isEmpty(); ++round)
        {
            const auto area = pending;
            pending.clear();
            juce::Graphics g (screen);
            if (g.reduceClipRegion (area))
                owner.paintEntireComponent (g, true);
        }
        return screen;
    }

    juce::Component& owner;
    juce::RectangleList<int> pending;
    juce::Image screen;
};

class MainCueViewOnScreen : public MainCueViewImages
{
protected:
    RepaintRecorder* recorder = nullptr;

    void putOnScreen()
    {
        view->addToDesktop (0);
        view->setTopLeftPosition (0, 0);
        view->setVisible (true);
        ASSERT_TRUE (test::pumpUntil ([&] { return view->isShowing(); }));
        recorder = new RepaintRecorder (*view);
        view->setCachedComponentImage (recorder);
    }

    void expectScreenAsDrawn (const juce::String& when)
    {
        // What is due (the end of a scroll, posted updates) happens first, as on screen.
        test::settle();
        ASSERT_TRUE (test::pumpUntil ([&] { return ! view->getCueRows().isAnimating(); }));
        const auto shown = recorder->updateScreen();
        const auto drawn = drawnAfresh();

        // Both come from the same code: anti-aliasing is no excuse here, every pixel counts.
        const auto difference = test::compareImages (shown, drawn);
        const bool same = difference.sameSize && difference.pixelsOff == 0;
        if (! same)
        {
            test::writePng (shown, differingFile ("screen-" + when));
            test::writePng (drawn, differingFile ("drawn-" + when));
        }
        EXPECT_TRUE (same) << when << ": " << difference.pixelsOff << " of " << difference.numPixels
                           << " pixels off, worst channel by " << difference.worst << "; see "
                           << differingFile ("screen-" + when).getFullPathName();
    }

    /** The view drawn from scratch: without the images its parts keep of themselves (they
        start anew afterwards). */
    juce::Image drawnAfresh()
    {
        std::vector<juce::Component*> buffered;
        std::function<void (juce::Component&)> collect = [&] (juce::Component& c)
        {
            if (&c != view.get() && c.getCachedComponentImage() != nullptr)
                buffered.push_back (&c);
            for (auto* child : c.getChildren())
                collect (*child);
        };
        collect (*view);

        for (auto* c : buffered)
            c->setBufferedToImage (false);
        auto image = view->createComponentSnapshot (view->getLocalBounds(), true, 1.0f);
        for (auto* c : buffered)
            c->setBufferedToImage (true);
        return image;
    }

    /** Time updates as the time manager would publish them, the screen drawn after every
        updatesPerFrame of them and after the last. */
    void tick (int from, int to, int step, bool onTheClock = false)
    {
        int sinceFrame = 0;
        for (int t = from; t <= to; t += step)
        {
            view->timeChanged (onTheClock ? clockAt (t) : test::runningAt (t));
            if (++sinceFrame < updatesPerFrame && t + step <= to)
                continue;
            sinceFrame = 0;
            test::pumpFor (1);
            recorder->updateScreen();
        }
    }
};
}

TEST_P (MainCueViewOnScreen, ShowsWhatAFullDrawingShowsAfterEveryKindOfUpdate)
{
    buildShow();
    ASSERT_FALSE (HasFatalFailure());

    putOnScreen();
    ASSERT_FALSE (HasFatalFailure());
    expectScreenAsDrawn ("shown");

    // Countdowns tick, the rainbow bar fills and shifts its colours, the cue passes and dims,
    // the list scrolls on.
    tick (36000, 39000, 40);
    expectScreenAsDrawn ("filling");
    tick (39000, 41000, 40);
    expectScreenAsDrawn ("passed");

    // A jump, then countdowns that shorten from -01:00:00 to -59:xx and relayout their rows.
    tick (71000, 77000, 40);
    expectScreenAsDrawn ("jumped");

    // Stopped: the clock dims all over.
    view->timeChanged ({ 77000, 25, false, false });
    expectScreenAsDrawn ("stopped");

    // A category changes colour while most of its rows lie outside the view; they scroll in
    // with the new colour.
    controller.categoryManager->getCategories()[2]->setColor (juce::Colour (0xff22cc44));
    test::settle();
    tick (77000, 92000, 200);
    expectScreenAsDrawn ("recoloured");

    // Back to the state before any timecode: the bars start over.
    view->timeChanged ({ 0, 25, false, false });
    expectScreenAsDrawn ("reset");
    tick (38000, 39000, 40);
    expectScreenAsDrawn ("again");
}

TEST_P (MainCueViewOnScreen, ShowsWhatAFullDrawingShowsOfATimetable)
{
    buildTimetable();
    ASSERT_FALSE (HasFatalFailure());

    putOnScreen();
    ASSERT_FALSE (HasFatalFailure());
    const auto at = [] (int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 1000; };

    // Bars shrink by fractions of a pixel a tick, then by whole pixels.
    tick (at (13, 12, 30), at (13, 12, 33), 40, true);
    expectScreenAsDrawn ("timetable-creeping");
    tick (at (13, 12, 33), at (13, 13, 30), 3000, true);
    expectScreenAsDrawn ("timetable-shrinking");

    // A bar narrower than its rounded ends, then its cue over and the next one starting.
    tick (at (13, 14, 40), at (13, 15, 10), 1000, true);
    expectScreenAsDrawn ("timetable-ending");
    tick (at (13, 15, 10), at (13, 20, 0), 10000, true);
    expectScreenAsDrawn ("timetable-next");
}

INSTANTIATE_TEST_SUITE_P (Widths, MainCueViewOnScreen, ::testing::Values (1600, 640));

INSTANTIATE_TEST_SUITE_P (Widths, MainCueViewImages, ::testing::Values (1600, 640));
