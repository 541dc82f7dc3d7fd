#include "TestZip.h"
#include "UpdateFixture.h"
#include "document/PreferencesHandler.h"
#include "update/UpdateChecker.h"

namespace
{
class Checker : public test::UpdateFixture
{
protected:
    /** Waits until a check has ended and its report has been handled. */
    static void settle (UpdateChecker& checker)
    {
        ASSERT_TRUE (test::pumpUntil ([&] { return ! checker.isChecking(); }, 20000));
        drainMessages();
    }

    const juce::String promptFor (const juce::String& version) const
    {
        return "New things\nWould you like to download and install version " + version + "?";
    }
};
}

TEST_F (Checker, OnlyANewerMajorMinorOrPatchPrompts)
{
    serveMessage ("\"Keep it up!\"\r\n");
    const struct { const char* remote; bool prompts; } cases[] = {
        { "1.1.1", true }, { "1.1.0.9999", false }, { "1.1", false }, { "abc", false },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.remote);
        serveOverview (c.remote);
        UpdateChecker checker;
        checker.checkForUpdates (false);
        if (c.prompts)
        {
            ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
            EXPECT_EQ (presenter().getShownMessage(), promptFor (c.remote));
            const auto& buttons = presenter().getShownDialog()->getButtons();
            ASSERT_EQ (buttons.size(), 3);
            EXPECT_EQ (buttons[0]->getButtonText(), "OK");
            EXPECT_EQ (buttons[1]->getButtonText(), "Cancel");
            EXPECT_EQ (buttons[2]->getButtonText(), "Skip");
            press (1);
        }
        else
        {
            ASSERT_TRUE (waitForDialog (UpdateChecker::upToDateTitle));
            EXPECT_EQ (presenter().getShownMessage(), "You're running the latest version... Keep it up!");
            press (0);
        }
    }

    // The short message is fetched with a POST and an empty body.
    for (const auto& request : server.getRequests())
        if (request.path == "/updates/cutemessages.php")
        {
            EXPECT_EQ (request.method, "POST");
            EXPECT_EQ (request.body, "");
        }
    EXPECT_EQ (server.countRequests ("/updates/cutemessages.php"), 3);
}

TEST_F (Checker, AFailedShortMessageLeavesTheMessageAlone)
{
    serveOverview ("1.1.0");
    server.serve ("POST", "/updates/cutemessages.php", { 404, "\"Not the message\"\r\n" });
    UpdateChecker checker;
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::upToDateTitle));
    EXPECT_EQ (presenter().getShownMessage(), "You're running the latest version... ");
}

TEST_F (Checker, ErrorsSpeakOnlyToAManualCheck)
{
    server.serve ("GET", "/updates/19203/overview.xml", { 404, "" });
    {
        UpdateChecker checker;
        checker.checkForUpdates (true);
        settle (checker);
        EXPECT_EQ (presenter().getShownDialog(), nullptr);

        serveOverview ("1.1.0");
        checker.checkForUpdates (true);
        settle (checker);
        drainMessages();
        EXPECT_EQ (presenter().getShownDialog(), nullptr) << "a silent check says nothing about being current";
        EXPECT_EQ (server.countRequests ("/updates/cutemessages.php"), 0);
    }

    server.serve ("GET", "/updates/19203/overview.xml", { 404, "" });
    UpdateChecker checker;
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::checkFailedTitle));
    EXPECT_EQ (presenter().getShownMessage(), "I couldn't get the latest update info...");
}

TEST_F (Checker, SkipSurvivesARestartButAManualCheckStillOffersTheVersion)
{
    serveOverview ("1.2.0");
    auto document = home.getHome().getChildFile ("Show.xml");
    document.replaceWithText ("<Vantrel/>");
    {
        UpdateChecker checker;
        // Another instance (the document data) stores the current document meanwhile.
        PreferencesHandler().setLastUsedFile (document);
        checker.checkForUpdates (true);
        ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
        press (2);
    }
    EXPECT_TRUE (PreferencesHandler().isSkippedVersion ("1.2.0"));
    EXPECT_EQ (PreferencesHandler().getLastUsedFile(), document);

    {
        UpdateChecker checker; // a new start
        checker.checkForUpdates (true);
        settle (checker);
        EXPECT_EQ (presenter().getShownDialog(), nullptr);

        checker.checkForUpdates (false);
        ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
        EXPECT_EQ (presenter().getShownMessage(), promptFor ("1.2.0"));
        press (1);
    }

    // Only the skipped version is held back: a newer one is offered by the silent check.
    serveOverview ("1.2.1");
    UpdateChecker checker;
    checker.checkForUpdates (true);
    ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
    EXPECT_EQ (presenter().getShownMessage(), promptFor ("1.2.1"));
}

TEST_F (Checker, AFailedDownloadClosesTheProgressDialogAndSaysWhy)
{
    serveOverview ("1.1.1", "/files/missing.zip");
    UpdateChecker checker;
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
    press (0);
    ASSERT_TRUE (waitForDialog (UpdateChecker::downloadFailedTitle));
    EXPECT_EQ (presenter().getShownMessage(), "The download failed. Are you still connected to the Internet?");
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
}

TEST_F (Checker, ASuccessfulUpdateShowsItsStepsThenQuits)
{
    serveOverview ("1.1.1");
    const auto marker = home.getHome().getChildFile ("ran.txt");
    server.serve ("GET", "/files/update.zip",
                  { 200, test::TestZip().add ("install.sh", "#!/bin/sh\necho ran > '" + marker.getFullPathName().toStdString() + "'\n")
                             .padTo (20000).bytes() });

    UpdateChecker checker;
    auto quits = std::make_shared<int> (0);
    checker.getDownloadThread().onQuit = [quits] { ++*quits; };
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
    press (0);
    ASSERT_TRUE (test::pumpUntil ([&] { return *quits == 1; }, 20000));
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
    EXPECT_TRUE (test::pumpUntil ([&] { return marker.loadFileAsString().trim() == "ran"; }));
}

TEST_F (Checker, CancelFromTheProgressDialog)
{
    serveOverview ("1.1.1");
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/files/update.zip", stall);

    UpdateChecker checker;
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
    press (0);
    ASSERT_NE (ProgressDialogComponent::getOpenDialog(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/files/update.zip") == 1; }));

    ProgressDialogComponent::getOpenDialog()->getButtons()[0]->triggerClick();
    ASSERT_TRUE (waitForDialog (UpdateChecker::downloadFailedTitle));
    EXPECT_EQ (presenter().getShownMessage(), "You cancelled the update...");
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
    EXPECT_TRUE (test::pumpUntil ([&] { return ! checker.getDownloadThread().isThreadRunning(); }, 4000));
}

TEST_F (Checker, QuittingDuringADownloadAbortsItAndClosesTheProgressDialog)
{
    serveOverview ("1.1.1");
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/files/update.zip", stall);
    {
        UpdateChecker checker;
        checker.checkForUpdates (false);
        ASSERT_TRUE (waitForDialog (UpdateChecker::updateTitle));
        press (0);
        ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/files/update.zip") == 1; }));
    }
    EXPECT_EQ (ProgressDialogComponent::getOpenDialog(), nullptr);
    drainMessages();
    EXPECT_EQ (presenter().getShownDialog(), nullptr);
}

TEST_F (Checker, ASecondCallDuringACheckOnlyChangesHowItReports)
{
    // The stalled overview ends at the 5 s time-out as an error, which only a manual check shows.
    test::LocalHttpServer::Reply stall;
    stall.stall = true;
    server.serve ("GET", "/updates/19203/overview.xml", stall);
    UpdateChecker checker;
    checker.checkForUpdates (true);
    ASSERT_TRUE (test::pumpUntil ([&] { return server.countRequests ("/updates/19203/overview.xml") == 1; }));
    checker.checkForUpdates (false);
    ASSERT_TRUE (waitForDialog (UpdateChecker::checkFailedTitle, 30000));
    EXPECT_EQ (server.countRequests ("/updates/19203/overview.xml"), 1);
}
