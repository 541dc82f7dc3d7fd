#pragma once

#include "app/VantrelController.h"
#include "document/PreferencesHandler.h"
#include "model/ActiveCueListHandler.h"
#include "model/CategoryManager.h"
#include "model/CueList.h"
#include "model/CueListManager.h"
#include "server/ServerManager.h"
#include "support/MessageLoop.h"
#include "support/ServerTestSupport.h"
#include "support/TempHome.h"
#include "ui/kit/DialogPresenter.h"

#include <gtest/gtest.h>

namespace test
{
/** A whole show model (controller) over a document written for the test, in its own HOME. */
class WebClientFixture : public ::testing::Test
{
protected:
    TempHome home;
    std::unique_ptr<VantrelController> controller;

    juce::File writeDocument (const juce::String& name, const juce::String& body)
    {
        auto folder = home.getSettingsFolder();
        folder.getChildFile ("preferences").createDirectory();
        auto file = folder.getChildFile (name + ".xml");
        file.replaceWithText ("<Vantrel version=\"1.1.0.643\">" + body + "</Vantrel>");
        return file;
    }

    void start (const juce::String& body)
    {
        PreferencesHandler().setLastUsedFile (writeDocument ("Show", body));
        controller = std::make_unique<VantrelController>();
    }

    static juce::String serverNode (int port, const juce::String& name = "Crew", const juce::String& maskXml = {})
    {
        return "<Server uuid=\"5e" + juce::String (port) + "\" port=\"" + juce::String (port) + "\" name=\"" + name
               + "\"><ColorMask>" + maskXml + "</ColorMask></Server>";
    }

    std::shared_ptr<CueList> waitForLiveList()
    {
        pumpUntil ([this] { return controller->activeCueListHandler->getActiveCueList() != nullptr; });
        return controller->activeCueListHandler->getActiveCueList();
    }

    std::shared_ptr<VantrelServer> waitForServing (int index = 0)
    {
        auto server = controller->serverManager->getServer (index);
        if (server != nullptr)
            pumpUntil ([&] { return server->isServing(); }, 5000);
        return server;
    }

    static juce::String shownDialog() { return DialogPresenter::getInstance()->getShownMessage(); }

    /** The next text frame of a client, pumping the message loop while waiting. */
    static std::optional<std::string> nextText (RawClient& client, int timeoutMs = 5000)
    {
        std::optional<RawClient::Frame> frame;
        pumpUntil ([&] { return (frame = client.readFrame (5)).has_value() || client.isClosed(); }, timeoutMs);
        if (! frame)
            return std::nullopt;
        return frame->payload;
    }

    /** Reads texts until the given number arrived or the time is up. */
    static std::vector<std::string> readTexts (RawClient& client, size_t count)
    {
        std::vector<std::string> texts;
        while (texts.size() < count)
        {
            auto text = nextText (client);
            if (! text)
                break;
            texts.push_back (*text);
        }
        return texts;
    }

    /** Connects a browser to the port, upgrades it to a WebSocket and reads its greeting:
        the four texts ("cuelist", "waveform", "time", "misc"), fewer when a step failed. */
    static std::vector<std::string> connectAndReadGreeting (RawClient& client, int port)
    {
        if (! client.connect (port) || ! client.upgrade ("/"))
            return {};
        return readTexts (client, 4);
    }

    static juce::String typeOf (const std::string& message)
    {
        return juce::JSON::parse (juce::String::fromUTF8 (message.data(), (int) message.size()))["type"].toString();
    }
};
}
