#pragma once

#include "LocalHttpServer.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "ui/kit/DialogComponent.h"
#include "ui/kit/DialogPresenter.h"
#include "ui/kit/ProgressDialogComponent.h"

#include <gtest/gtest.h>

namespace test
{
/** A temporary home (settings, Downloads), a local update service that the update code is
    pointed at, and a fresh dialog presenter. Objects under test are made in the test body, so
    their threads have ended before the service stops. */
class UpdateFixture : public ::testing::Test
{
protected:
    UpdateFixture() { DialogPresenter::setInstance (new DialogPresenter()); }
    ~UpdateFixture() override
    {
        ProgressDialogComponent::close();
        DialogPresenter::setInstance (nullptr);
        pumpFor (20); // let the closed dialogs' modal notices run while the presenter's gone
    }

    static std::string overview (const std::string& version, const std::string& extra = {})
    {
        return "<data><release version=\"1.0.0.1\"/><release version=\"" + version
               + "\" latest=\"true\"><body>New things</body><link os=\"windows\">https://example.com/w.zip</link>"
               + extra + "</release></data>";
    }

    /** An overview whose newest release is the version, with a Linux archive on this service. */
    void serveOverview (const std::string& version, const std::string& archivePath = "/files/update.zip")
    {
        LocalHttpServer::Reply reply;
        reply.body = overview (version, "<link os=\"linux\">" + server.getBase() + archivePath + "</link>");
        server.serve ("GET", "/updates/19203/overview.xml", reply);
    }

    void serveMessage (const std::string& text)
    {
        LocalHttpServer::Reply reply;
        reply.body = text;
        server.serve ("POST", "/updates/cutemessages.php", reply);
    }

    static DialogPresenter& presenter() { return *DialogPresenter::getInstance(); }

    static bool waitForDialog (const juce::String& title, int timeoutMs = 10000)
    {
        return pumpUntil ([&] { return presenter().getShownTitle() == title; }, timeoutMs);
    }

    /** Presses a button of the dialog on screen and lets the press arrive. */
    static void press (int index)
    {
        auto* dialog = presenter().getShownDialog();
        ASSERT_NE (dialog, nullptr);
        dialog->getButtons()[index]->triggerClick();
        ASSERT_TRUE (pumpUntil ([&] { return presenter().getShownDialog() != dialog; }));
        pumpFor (20);
    }

    /** Runs the message loop until everything posted so far has been delivered. */
    static void drainMessages()
    {
        auto done = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([done] { *done = true; });
        pumpUntil ([done] { return *done; });
    }

    TempHome home;
    LocalHttpServer server;
    UpdateBaseOverride base { server.getBase() };
};
}
