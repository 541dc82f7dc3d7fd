#include "ui/kit/DialogComponent.h"
#include "ui/kit/VantrelLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
std::string hex (juce::Colour c) { return c.toDisplayString (true).toStdString(); }

/** Counts the pixels in an area that differ clearly from a colour: where text was drawn. */
int inkIn (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background)
{
    int ink = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (std::abs (image.getPixelAt (x, y).getBrightness() - background.getBrightness()) > 0.2f)
                ++ink;
    return ink;
}

class Dialog : public ::testing::Test
{
protected:
    Dialog() { juce::LookAndFeel::setDefaultLookAndFeel (&laf); }
    ~Dialog() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    VantrelLookAndFeel laf;
};
}

TEST_F (Dialog, LayoutAndPictureOfAnOkCancelDialog)
{
    DialogComponent dialog ("Saving failed", "The disk is full.", { "OK", "Cancel" });
    EXPECT_EQ (dialog.getWidth(), 800);
    EXPECT_EQ (dialog.getHeight(), 450);
    EXPECT_TRUE (dialog.isOnDesktop());
    EXPECT_EQ (dialog.getScreenBounds().getCentre(), dialog.getParentMonitorArea().getCentre());
    ASSERT_NE (dialog.getPeer(), nullptr);
    EXPECT_EQ (dialog.getPeer()->getStyleFlags() & juce::ComponentPeer::windowHasTitleBar, 0);
    EXPECT_EQ (dialog.getTitle(), "Saving failed");

    EXPECT_EQ (dialog.getViewport().getBounds(), juce::Rectangle<int> (30, 100, 745, 230));
    const auto& buttons = dialog.getButtons();
    ASSERT_EQ (buttons.size(), 2);
    const auto ok = buttons[0]->getBounds();
    const auto cancel = buttons[1]->getBounds();
    // Right to left in list order, no gaps: OK at the right edge, Cancel directly to its left.
    EXPECT_EQ (ok.getRight(), 775);
    EXPECT_EQ (cancel.getRight(), ok.getX());
    EXPECT_GT (cancel.getWidth(), ok.getWidth());
    for (auto b : { ok, cancel })
    {
        EXPECT_EQ (b.getY(), 380);
        EXPECT_EQ (b.getHeight(), 50);
    }
    EXPECT_FALSE (buttons[0]->isConnectedOnRight());
    EXPECT_TRUE (buttons[1]->isConnectedOnRight());

    const auto picture = dialog.createComponentSnapshot (dialog.getLocalBounds(), true, 1.0f);
    const juce::Colour background (0xff0e1220);
    EXPECT_EQ (hex (picture.getPixelAt (10, 200)), hex (background));
    EXPECT_EQ (hex (picture.getPixelAt (400, 360)), hex (juce::Colour (0xff323e44))) << "line over the buttons";
    EXPECT_EQ (hex (picture.getPixelAt (400, 359)), hex (background));

    EXPECT_GT (inkIn (picture, { 25, 0, 750, 100 }, background), 100) << "title";
    EXPECT_GT (inkIn (picture, { 30, 100, 745, 40 }, background), 100) << "message";
    EXPECT_EQ (inkIn (picture, { 30, 200, 745, 130 }, background), 0) << "a short message leaves the rest empty";
    EXPECT_GT (inkIn (picture, ok.withTrimmedRight (2), background), 20) << "OK text";
    EXPECT_GT (inkIn (picture, cancel.withTrimmedRight (2), background), 20) << "Cancel text";

    // The separator: a short line at Cancel's right edge, none at OK's.
    const auto separator = picture.getPixelAt (cancel.getRight() - 1, cancel.getCentreY());
    EXPECT_GT (separator.getBrightness(), 0.3f) << hex (separator);
    EXPECT_LT (picture.getPixelAt (cancel.getRight() - 1, cancel.getY() + 3).getBrightness(), 0.2f) << "only a quarter of the height";
    EXPECT_LT (picture.getPixelAt (ok.getRight() - 1, ok.getCentreY()).getBrightness(), 0.2f);
}

TEST_F (Dialog, RepeatedButtonTextsGetNoSeparatorAndClicksReportTheirIndex)
{
    DialogComponent dialog ("T", "M", { "Yes", "No", "Yes" });
    const auto& buttons = dialog.getButtons();
    EXPECT_FALSE (buttons[0]->isConnectedOnRight());
    EXPECT_TRUE (buttons[1]->isConnectedOnRight());
    EXPECT_FALSE (buttons[2]->isConnectedOnRight());
    EXPECT_EQ (buttons[2]->getRight(), buttons[1]->getX());

    dialog.enterModalState (false);
    dialog.buttonClicked (buttons[1]);
    EXPECT_EQ (dialog.getPressedIndex(), 1);
    EXPECT_FALSE (dialog.isCurrentlyModal());
}

TEST_F (Dialog, ALongMessageWrapsAtTheViewportWidthAndScrolls)
{
    juce::String text;
    for (int i = 0; i < 60; ++i)
        text << "The audio device stopped delivering input, so the timecode reader has nothing to read. ";
    DialogComponent dialog ("Audio", text, { "OK" });
    auto& viewport = dialog.getViewport();
    auto& message = dialog.getMessageComponent();
    EXPECT_EQ (message.getWidth(), viewport.getWidth() - viewport.getScrollBarThickness());
    EXPECT_GT (message.getHeight(), viewport.getHeight() * 3);
    EXPECT_TRUE (viewport.getVerticalScrollBar().isVisible());
    EXPECT_FALSE (viewport.getHorizontalScrollBar().isVisible());
}

TEST_F (Dialog, NarrowDialogsShrinkButtonsInsteadOfOverlapping)
{
    DialogComponent dialog ("T", "M", { "A rather long button text", "Another long one" });
    dialog.setSize (200, 450);
    const auto& buttons = dialog.getButtons();
    EXPECT_EQ (buttons[0]->getX(), 25);
    EXPECT_EQ (buttons[0]->getRight(), 175);
    EXPECT_EQ (buttons[1]->getWidth(), 0);
    EXPECT_EQ (dialog.getViewport().getWidth(), 145);
}
