#include "ui/DesktopWindow.h"
#include "ui/MainComponent.h"

#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include <gtest/gtest.h>
#include "X11Probe.h"

namespace
{
struct WindowButtons : ::testing::Test
{
    test::TempHome home;
    VantrelController controller;
    MainComponent* main = nullptr;
    std::unique_ptr<DesktopWindow> window;

    void SetUp() override
    {
        auto* view = new juce::Component();
        view->setSize (400, 300);
        main = new MainComponent (controller, view);
        window = std::make_unique<DesktopWindow> (main);
        ASSERT_NE (window->getPeer(), nullptr);
    }

    // A round trip on the application's own X connection sends what it has queued.
    static int sentAndCounted (test::IconifyRequests& requests)
    {
        juce::Desktop::getMousePosition();
        return requests.count();
    }

    static void click (juce::Button& b)
    {
        b.triggerClick();
        test::pumpFor (50);
    }
};
}

TEST_F (WindowButtons, MinimiseAsksForIconifyEveryTimeTheWindowIsShown)
{
    test::IconifyRequests requests (window->getPeer()->getNativeHandle());
    ASSERT_EQ (requests.count(), 0);

    // Without a window manager the window stays shown, as after a restore from the task bar:
    // every click must still ask to minimise, none may ask to restore instead.
    click (main->titleBar.getMinimiseButton());
    ASSERT_TRUE (test::pumpUntil ([&] { return sentAndCounted (requests) == 1; }));
    click (main->titleBar.getMinimiseButton());
    EXPECT_TRUE (test::pumpUntil ([&] { return sentAndCounted (requests) == 2; }));
}

TEST_F (WindowButtons, FullScreenFollowsTheWindowsRealState)
{
    auto& button = main->titleBar.getFullScreenButton();

    click (button);
    ASSERT_TRUE (test::pumpUntil ([&] { return window->isFullScreen(); }));
    EXPECT_TRUE (button.getToggleState());

    // Leaving full screen by other means; the next click goes full screen again.
    window->setFullScreen (false);
    ASSERT_FALSE (window->isFullScreen());
    click (button);
    EXPECT_TRUE (test::pumpUntil ([&] { return window->isFullScreen(); }));

    click (button);
    EXPECT_TRUE (test::pumpUntil ([&] { return ! window->isFullScreen(); }));
    EXPECT_FALSE (button.getToggleState());
}
