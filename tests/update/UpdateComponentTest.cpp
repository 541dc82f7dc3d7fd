#include "UpdateFixture.h"
#include "update/UpdateComponent.h"

using Panel = test::UpdateFixture;

TEST_F (Panel, ShowsTheVersionBesideItsButton)
{
    UpdateComponent panel;
    panel.setSize (400, 100);
    EXPECT_EQ (panel.getVersionLabel().getText(), "You're running v1.1.0.643");
    EXPECT_EQ (panel.getVersionLabel().getBounds(), juce::Rectangle<int> (0, 0, 200, 27));
    EXPECT_EQ (panel.getCheckButton().getButtonText(), "Check for Updates");
    EXPECT_EQ (panel.getCheckButton().getBounds(), juce::Rectangle<int> (200, 0, 150, 27));
}

TEST_F (Panel, TwoClicksDuringACheckAskOnceAndClosingThePanelEndsIt)
{
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/updates/19203/overview.xml", stall);
    auto start = 0.0;
    {
        UpdateComponent panel;
        panel.getCheckButton().triggerClick();
        panel.getCheckButton().triggerClick();
        ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/updates/19203/overview.xml") == 1; }));
        test::pumpFor (100);
        EXPECT_EQ (server.countRequests ("/updates/19203/overview.xml"), 1);
        EXPECT_TRUE (panel.getUpdateChecker().isChecking());
        start = juce::Time::getMillisecondCounterHiRes();
    }
    // The check was aborted with the panel, not left to time out.
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 4000.0);
    drainMessages();
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
}
