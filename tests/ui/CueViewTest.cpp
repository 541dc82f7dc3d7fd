#include "CueViewFixture.h"
#include "ui/AnimatedCueView.h"
#include "ui/CueDrawing.h"

namespace
{
using test::CueSpec;

constexpr juce::uint32 red = 0xffcc3333, green = 0xff33aa55, blue = 0xff3366cc;

const std::vector<CueSpec> threeCues {
    { 1, "Intro", 10520.0, 5000.0, red },
    { 2, "Rainbow Finale", 20000.0, 5000.0, green },
    { 3, "Outro", 30000.0, 5000.0, blue },
};

class CueViewTest : public test::GuiFixture
{
protected:
    AnimatedCueView view;

    CueViewTest() { view.setSize (640, 400); }

    CueComponent& row (int i) { return *view.getRow (i)->getCueComponent(); }

    juce::Image snapshot() { return view.createComponentSnapshot (view.getLocalBounds(), true, 1.0f); }
};
}

TEST_F (CueViewTest, RowsSitOnA55PixelPitchWithTheirTextsAndColours)
{
    view.setCueList (test::makeCueList (threeCues), {});

    ASSERT_EQ (view.getNumRows(), 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (view.getRow (i)->getBounds(), juce::Rectangle<int> (10, 55 * i, 620, 55)) << i;
        EXPECT_EQ (row (i).getNumberLabel().getText(), juce::String (i + 1));
        EXPECT_EQ (row (i).getNameLabel().getText(), threeCues[(size_t) i].text);
    }
    // The list runs at 25 fps: 10.52 s is frame 13 (it would be 16 at 30 fps).
    EXPECT_EQ (row (0).getTimeLabel().getText(), "00:00:10:13");
    EXPECT_EQ (row (1).getTimeLabel().getText(), "00:00:20:00");
    EXPECT_EQ (row (0).getTimeLabel().findColour (juce::Label::textColourId), juce::Colours::white.withAlpha ((juce::uint8) 219));
    EXPECT_EQ (row (0).getNumberLabel().findColour (juce::Label::textColourId), juce::Colours::white.withAlpha ((juce::uint8) 153));

    const auto image = snapshot();
    // The progress bar's 10 px stub in the cue colour at the left, the dark tint at the right.
    const int y = 55 * 2 + 27;
    EXPECT_TRUE (test::near (image.getPixelAt (14, y), juce::Colour (blue))) << image.getPixelAt (14, y).toDisplayString (true);
    EXPECT_TRUE (test::near (image.getPixelAt (624, y), juce::Colour (blue).withBrightness (0.1f)))
        << image.getPixelAt (624, y).toDisplayString (true);
    // "Rainbow" in the name: the stub starts at hue 0 instead of the cue colour.
    const auto rainbow = image.getPixelAt (14, 55 + 27);
    EXPECT_GT (rainbow.getRed(), 200);
    EXPECT_LT (rainbow.getGreen(), 90);
}

TEST_F (CueViewTest, PassedCueDimsAndTheMarkerSitsAboveTheNextCue)
{
    view.setCueList (test::makeCueList (threeCues), {});
    snapshot();

    view.timeChanged (test::runningAt (15000), false);
    EXPECT_EQ (view.getCurrentIndex(), 1);
    EXPECT_EQ (view.getContainer().getMarkerY(), 55);
    view.timeChanged (test::runningAt (15040), false);

    EXPECT_TRUE (row (0).isFinished());
    EXPECT_FLOAT_EQ (row (0).getNumberLabel().getAlpha(), 0.2f);
    EXPECT_FLOAT_EQ (row (0).getNameLabel().getAlpha(), 0.2f);
    EXPECT_FALSE (row (0).getTimeLabel().isVisible());

    EXPECT_FALSE (row (1).isFinished());
    EXPECT_FLOAT_EQ (row (1).getNameLabel().getAlpha(), 1.0f);
    EXPECT_EQ (row (1).getTimeLabel().getText(), "-04:24");
    EXPECT_EQ (row (2).getTimeLabel().getText(), "-14:24");

    const auto image = snapshot();
    // The marker bar in the accent colour between the passed row and the next one.
    EXPECT_TRUE (test::near (image.getPixelAt (320, 54), juce::Colour (VantrelLookAndFeel::accentArgb)))
        << image.getPixelAt (320, 54).toDisplayString (true);
    // No bar on the passed row: its left end shows the dark tint, not the cue colour.
    EXPECT_FALSE (test::near (image.getPixelAt (14, 27), juce::Colour (red), 40))
        << image.getPixelAt (14, 27).toDisplayString (true);
}

TEST_F (CueViewTest, ScrollsOneRowWhenTheThirdCueBecomesNext)
{
    view.setCueList (test::makeLongCueList (10), {});

    view.timeChanged (test::runningAt (90000), false); // before cue 2: index 1
    ASSERT_TRUE (test::pumpUntil ([&] { return ! view.isAnimating(); }));
    EXPECT_EQ (view.getViewport().getViewPositionY(), 0);

    view.timeChanged (test::runningAt (130000), false); // cue 2 passed: index 2
    EXPECT_EQ (view.getContainer().getMarkerY(), 110);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! view.isAnimating(); }));
    EXPECT_EQ (view.getViewport().getViewPositionY(), 55);

    // Every cue passed: as far down as the content allows, the marker below the last row.
    view.timeChanged (test::runningAt (3600000), false);
    EXPECT_EQ (view.getContainer().getMarkerY(), 550);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! view.isAnimating(); }));
    EXPECT_EQ (view.getViewport().getViewPositionY(), 550 - 400);
}

TEST_F (CueViewTest, EachUpdateRefreshesOnlyTheRowsInView)
{
    view.setCueList (test::makeLongCueList (200), {});
    snapshot();

    view.timeChanged (test::runningAt (30000), false);
    // The band reaches one row past the bottom edge of the 400 px view.
    EXPECT_TRUE (row (8).getTimeLabel().getText().startsWith ("-"));
    EXPECT_EQ (row (9).getTimeLabel().getText(), "00:10:00:00");
    EXPECT_EQ (row (150).getTimeLabel().getText(), "02:31:00:00");
}

TEST_F (CueViewTest, EmptyAndFullyMaskedListsHaveNoRowsAndIgnoreTime)
{
    view.setCueList (test::makeCueList (threeCues), { juce::Colour (red), juce::Colour (green), juce::Colour (blue) });
    EXPECT_EQ (view.getNumRows(), 0);

    view.setCueList (test::makeCueList (threeCues), { juce::Colour (green) });
    ASSERT_EQ (view.getNumRows(), 2);
    EXPECT_EQ (row (1).getNameLabel().getText(), "Outro");

    view.setCueList (nullptr, {});
    EXPECT_EQ (view.getNumRows(), 0);
    view.timeChanged (test::runningAt (25000), true);
    EXPECT_FALSE (view.isAnimating());
    EXPECT_EQ (view.getContainer().getMarkerY(), 0);
}

TEST_F (CueViewTest, RowsWriteTheirStartAtTheListRateAndFollowItsChanges)
{
    auto list = test::makeCueList (threeCues, 25);

    // A fresh row: no progress yet, and its first text already at the list's rate.
    CueWrapper wrapper;
    wrapper.setCueComponent (std::make_unique<CueComponent>());
    wrapper.setSize (600, 55);
    EXPECT_EQ (wrapper.getCueComponent()->getProgress(), 0.0f);
    EXPECT_FALSE (wrapper.getCueComponent()->isFinished());
    wrapper.setCue (list->getCues()[0], 25);
    EXPECT_EQ (wrapper.getCueComponent()->getTimeLabel().getText(), "00:00:10:13");

    view.setCueList (list, {});
    view.setFps (30);
    EXPECT_EQ (row (0).getTimeLabel().getText(), "00:00:10:16");
    view.setFps (24);
    EXPECT_EQ (row (0).getTimeLabel().getText(), "00:00:10:12");
}

TEST_F (CueViewTest, CountdownTexts)
{
    auto list = test::makeCueList ({ { 1, "A", 100000.0, 1000.0, red } }, 25);
    CueComponent component;
    component.setSize (600, 55);
    component.setFps (25);
    component.setCue (list->getCues()[0]);

    const struct
    {
        TimeInfo info;
        const char* text;
        bool finished;
    } cases[] = {
        { test::runningAt (100000 - 12280), "-12:07", false },
        { test::runningAt (100000 - 72280), "-01:12:07", false },
        { test::runningAt (100000 - 59960), "-59:24", false },
        { test::runningAt (100000 - 3600000), "-01:00:00:00", false },
        { test::runningAt (99000), "-01:00", false },
        { test::runningAt (100000), "-00:00", true },
        { test::runningAt (150000), "-00:00", true },
        { { 95000, 25, false, false }, "00:01:40:00", false },
    };
    for (const auto& c : cases)
    {
        component.update (c.info, { 100000, 101000 });
        EXPECT_EQ (component.getTimeLabel().getText(), c.text) << c.info.time;
        EXPECT_EQ (component.isFinished(), c.finished) << c.info.time;
        EXPECT_EQ (component.getTimeLabel().isVisible(), ! c.finished) << c.info.time;
    }

    // Stopped at time 0: back to no progress, the labels stay as they were.
    component.update ({ 0, 25, false, false }, { 100000, 101000 });
    EXPECT_EQ (component.getProgress(), 0.0f);
    EXPECT_FALSE (component.isFinished());
}

TEST (CueDrawing, TriangleAndTextBounds)
{
    const auto triangle = makeTrianglePath (20.0f).getBounds();
    EXPECT_FLOAT_EQ (triangle.getX(), -10.0f);
    EXPECT_FLOAT_EQ (triangle.getWidth(), 20.0f);
    EXPECT_NEAR (triangle.getY(), -8.660254f, 1e-4);
    EXPECT_NEAR (triangle.getBottom(), 8.660254f, 1e-4);

    const juce::Font font (juce::Font::getDefaultMonospacedFontName(), 20.0f, juce::Font::plain);
    EXPECT_TRUE (getTextBounds (font, {}).isEmpty());
    const auto shortText = getTextBounds (font, "-00:00").getWidth();
    const auto longText = getTextBounds (font, "-00:00:00").getWidth();
    EXPECT_GT (shortText, 20.0f);
    EXPECT_NEAR (longText / shortText, 9.0f / 6.0f, 0.1f);
}

TEST_F (CueViewTest, ALongListBuildsTheRowsNearTheViewAndEachRowOnItsWayIn)
{
    const auto list = test::makeLongCueList (10'000);
    view.setCueList (list, {});
    ASSERT_EQ (view.getNumRows(), 10'000);
    EXPECT_EQ (view.getContainer().getHeight(), 55 * 10'000);
    const auto built = [&] { return view.getContainer().getNumChildComponents(); };
    EXPECT_GE (built(), 8) << "the rows in view";
    EXPECT_LT (built(), 20);

    // Every row that is (partly) in view, after a scroll far down, is there with its own cue.
    const auto checkRowsInView = [&]
    {
        const int top = view.getViewport().getViewPositionY();
        for (int i = top / 55; i * 55 < top + view.getViewport().getViewHeight(); ++i)
        {
            SCOPED_TRACE (i);
            bool found = false;
            for (auto* child : view.getContainer().getChildren())
            {
                if (child->getY() != i * 55)
                    continue;
                found = true;
                EXPECT_TRUE (child->isVisible());
                EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (10, i * 55, 620, 55));
                auto* wrapper = dynamic_cast<CueWrapper*> (child);
                ASSERT_NE (wrapper, nullptr);
                EXPECT_EQ (wrapper->getCueComponent()->getCue(), list->getCues()[(size_t) i]);
            }
            EXPECT_TRUE (found);
        }
    };
    checkRowsInView();

    const auto cue = list->getCues()[7'000];
    view.timeChanged (test::runningAt ((int) cue->getRange().getStart() - 1000), false);
    ASSERT_TRUE (test::pumpUntil ([&] { return ! view.isAnimating(); }));
    ASSERT_EQ (view.getCurrentIndex(), 7'000);
    EXPECT_EQ (view.getViewport().getViewPositionY(), 6'999 * 55);
    checkRowsInView();
    EXPECT_LT (built(), 1'000) << "the rows passed on the way, not the whole list";

    // The next cue counts down like any other: the rows in view are refreshed.
    snapshot();
    view.timeChanged (test::runningAt ((int) cue->getRange().getStart() - 500), false);
    EXPECT_TRUE (row (7'000).getTimeLabel().getText().startsWith ("-")) << row (7'000).getTimeLabel().getText();

    // Asked for, a row far from the view is built with its cue.
    EXPECT_EQ (view.getRow (42)->getCueComponent()->getCue(), list->getCues()[42]);
    EXPECT_EQ (view.getRow (42)->getY(), 42 * 55);
    EXPECT_EQ (view.getRow (10'000), nullptr);
}
