#include "CueViewFixture.h"
#include "ui/FpsSelectionComponent.h"
#include "ui/TimeDriverSelectionComponent.h"

namespace
{
void clickAt (juce::Component& c, int x, int y)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Point<float> p ((float) x, (float) y);
    const auto now = juce::Time::getCurrentTime();
    c.mouseUp (juce::MouseEvent (source, p, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, p, now, 1, false));
}

using SelectionTest = test::GuiFixture;
}

TEST_F (SelectionTest, FrameRateRowsAndClicks)
{
    FpsSelectionComponent fps;
    fps.setSize (40, 100);
    juce::Array<int> chosen;
    fps.onFpsSelected = [&] (int rate) { chosen.add (rate); };

    EXPECT_EQ (fps.getRowBounds (0), juce::Rectangle<int> (0, 22, 40, 20));
    EXPECT_EQ (fps.getRowBounds (1), juce::Rectangle<int> (0, 42, 40, 20));
    EXPECT_EQ (fps.getRowBounds (2), juce::Rectangle<int> (0, 62, 40, 20));

    clickAt (fps, 5, 10);  // above the rows
    clickAt (fps, 5, 70);  // 30, already selected
    EXPECT_TRUE (chosen.isEmpty());

    clickAt (fps, 5, 45);
    EXPECT_EQ (chosen, juce::Array<int> ({ 25 }));
    EXPECT_EQ (fps.getFps(), 25);
}

TEST_F (SelectionTest, DriverButtonsShareTheMiddleHalfAndReportClicks)
{
    TimeDriverSelectionComponent drivers;
    drivers.setSize (400, 28);
    juce::Array<int> chosen;
    drivers.onDriverSelected = [&] (int index) { chosen.add (index); };

    drivers.setDriverNames ({ "Internal Clock", "LTC" });
    ASSERT_EQ (drivers.getNumButtons(), 2);
    EXPECT_EQ (drivers.getButton (0)->getBounds(), juce::Rectangle<int> (100, 0, 100, 28));
    EXPECT_EQ (drivers.getButton (1)->getBounds(), juce::Rectangle<int> (200, 0, 100, 28));
    EXPECT_EQ (drivers.getSelectedIndex(), -1);

    drivers.setSelected (1);
    EXPECT_EQ (drivers.getSelectedIndex(), 1);
    EXPECT_FALSE (drivers.getButton (0)->getToggleState());
    drivers.setSelected (2); // past the end: unchanged
    EXPECT_EQ (drivers.getSelectedIndex(), 1);

    // A click reports; only the owner's feedback lights a button.
    drivers.getButton (0)->triggerClick();
    ASSERT_TRUE (test::pumpUntil ([&] { return chosen.size() == 1; }));
    EXPECT_EQ (chosen[0], 0);
    EXPECT_EQ (drivers.getSelectedIndex(), 1);

    drivers.setSelected (-1);
    EXPECT_EQ (drivers.getSelectedIndex(), -1);

    drivers.setDriverNames ({});
    EXPECT_EQ (drivers.getNumButtons(), 0);
    drivers.setSize (300, 28);
}
