#include "WebClientFixture.h"

#include "document/AppData.h"
#include "server/VantrelServer.h"

using test::RawClient;
using test::WebClientFixture;

namespace
{
const char* oneList = R"(
  <CueLists>
    <CueList uuid="11111111111111111111111111111111" name="Show" offset="00:00:00:00" fps="25" start="3600000">
      <Cues>
        <cue id="a1" number="1" text="Intro" start="3600000.0" duration="0" color="ff3fb6dc"/>
        <cue id="a2" number="2" text="Next" start="3700000.0" duration="0" color="ffcfb228"/>
      </Cues>
    </CueList>
  </CueLists>
  <ColorMask/>)";
}

class VantrelServerTest : public WebClientFixture
{
protected:
    int port = test::nextCandidatePort();

    void startWithServer (const juce::String& lists = oneList)
    {
        start (lists + "<Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
    }
};

TEST_F (VantrelServerTest, GreetsABrowserInOrderBeforeAnyBroadcast)
{
    startWithServer();
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = waitForServing();
    ASSERT_TRUE (server != nullptr && server->isServing());

    RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.upgrade ("/"));
    // Once the connection is in the server's table (its greeting is posted to this thread and
    // not built yet, as the message loop does not run here) broadcasts must not reach it.
    const auto until = juce::Time::getMillisecondCounter() + 5000;
    while (server->getSocketServer()->getNumClients() == 0 && juce::Time::getMillisecondCounter() < until)
        juce::Thread::sleep (1);
    ASSERT_EQ (server->getSocketServer()->getNumClients(), 1);
    for (int i = 0; i < 5; ++i)
        server->sendTime();

    const auto texts = readTexts (client, 4);
    ASSERT_EQ (texts.size(), 4u);
    EXPECT_EQ (typeOf (texts[0]), "cuelist");
    EXPECT_EQ (typeOf (texts[1]), "waveform");
    EXPECT_EQ (typeOf (texts[2]), "time");
    EXPECT_EQ (typeOf (texts[3]), "misc");

    // Broadcasts reach it from now on.
    server->sendTime();
    auto later = nextText (client);
    ASSERT_TRUE (later.has_value());
    EXPECT_EQ (typeOf (*later), "time");
}

TEST_F (VantrelServerTest, MessagesReadItsNodeItsMaskTheLiveListAndTheWaveform)
{
    startWithServer();
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = controller->serverManager->getServer (0);
    ASSERT_NE (server, nullptr);
    const auto parse = [] (const juce::String& json) { return juce::JSON::parse (json); };

    EXPECT_EQ (server->createMiscMessage(), R"({"type":"misc","version":"1.1.0.643","name":"Crew"})");
    server->getState().removeProperty (IDs::name, nullptr);
    EXPECT_EQ (server->createMiscMessage(), R"({"type":"misc","version":"1.1.0.643","name":null})");

    EXPECT_EQ (server->createWaveformMessage(), R"({"type":"waveform","duration":0.0,"length":0,"data":null})");
    juce::Array<int> peaks;
    for (int i = 0; i < 4000; ++i)
        peaks.add ((i % 2 == 0) ? -i % 255 : i % 255);
    controller->serverManager->setWaveform (peaks, 50000.0f);
    const auto message = server->createWaveformMessage();
    EXPECT_TRUE (message.startsWith (R"({"type":"waveform","duration":50000.0,"length":2000,"data":[0,1,)")) << message;
    EXPECT_EQ (parse (message)["data"].size(), 4000);
    // No new peaks: the earlier data stays.
    controller->serverManager->setWaveform ({}, 1000.0f);
    EXPECT_EQ (parse (server->createWaveformMessage())["data"].size(), 4000);
    EXPECT_EQ (parse (server->createWaveformMessage())["length"], juce::var (0));

    // The live list through this server's mask. (This server does not serve yet, so it
    // re-tracks only when told.)
    server->updateTrackedCues();
    auto json = parse (server->createCueListMessage());
    EXPECT_EQ (json["name"], juce::var ("Show"));
    ASSERT_EQ (json["cues"].size(), 2);
    EXPECT_EQ (json["categories"].size(), 2);
    server->getColorMask()->setColors ({ juce::Colour (0xff3fb6dcu) });
    server->updateTrackedCues();
    json = parse (server->createCueListMessage());
    ASSERT_EQ (json["cues"].size(), 1);
    EXPECT_EQ (json["cues"][0]["number"], juce::var (2));
    EXPECT_EQ (json["categories"].size(), 1);
    EXPECT_EQ (json["categories"][0]["uuid"], json["cues"][0]["category"]);
}

TEST_F (VantrelServerTest, ABrowserThatConnectsBeforeServingBeginsIsGreetedThen)
{
    start (juce::String ("<CueLists/><ColorMask/><Servers IP=\"0.0.0.0\">") + serverNode (port) + "</Servers>");
    auto server = controller->serverManager->getServer (0);
    ASSERT_NE (server, nullptr);

    // The message loop does not run until the browser is in: serving begins on it.
    RawClient client;
    bool connected = false;
    for (int attempt = 0; attempt < 300 && ! (connected = client.connect (port)); ++attempt)
        juce::Thread::sleep (10);
    ASSERT_TRUE (connected);
    ASSERT_TRUE (client.upgrade ("/"));
    EXPECT_FALSE (server->isServing());

    const auto texts = readTexts (client, 4);
    ASSERT_EQ (texts.size(), 4u);
    EXPECT_EQ (texts[0], "") << "no live list: the cuelist greeting is an empty text";
    EXPECT_EQ (typeOf (texts[1]), "waveform");
    EXPECT_EQ (typeOf (texts[2]), "time");
    EXPECT_EQ (typeOf (texts[3]), "misc");
}

TEST_F (VantrelServerTest, BatchesColourAndTextChangesForASecond)
{
    startWithServer();
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());

    RawClient client;
    ASSERT_EQ (connectAndReadGreeting (client, port).size(), 4u);

    auto cues = controller->activeCueListHandler->getActiveCueList()->getCues();
    auto audio = cues[0]->getCategory();
    auto light = cues[1]->getCategory();
    ASSERT_TRUE (audio != nullptr && light != nullptr);

    light->setColor (juce::Colour (0xff112233u));
    audio->setColor (juce::Colour (0xff445566u));
    light->setColor (juce::Colour (0xff778899u));
    cues[0]->setText ("Renamed");

    const auto texts = readTexts (client, 3);
    ASSERT_EQ (texts.size(), 3u);
    EXPECT_EQ (typeOf (texts[0]), "category");
    EXPECT_EQ (juce::JSON::parse (juce::String (texts[0]))["uuid"].toString(), light->getUuid()) << "order of first change";
    EXPECT_EQ (juce::JSON::parse (juce::String (texts[0]))["displayColor"].toString(), "#778899ff") << "the last colour";
    EXPECT_EQ (juce::JSON::parse (juce::String (texts[1]))["uuid"].toString(), audio->getUuid());
    EXPECT_EQ (typeOf (texts[2]), "cuelist");
    EXPECT_TRUE (juce::String (texts[2]).contains ("Renamed"));

    test::pumpFor (1200);
    EXPECT_FALSE (client.readFrame (10).has_value()) << "one batch only";
}

TEST_F (VantrelServerTest, ACategoryDeletedWhileItsChangeWaitsIsNotSent)
{
    startWithServer();
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());
    RawClient client;
    ASSERT_EQ (connectAndReadGreeting (client, port).size(), 4u);

    auto light = controller->activeCueListHandler->getActiveCueList()->getCues()[1]->getCategory();
    ASSERT_NE (light, nullptr);
    light->setColor (juce::Colour (0xff112233u));
    controller->categoryManager->removeCategory (*light);

    std::vector<std::string> texts;
    test::pumpFor (1500);
    while (auto text = nextText (client, 100))
        texts.push_back (*text);
    for (const auto& text : texts)
        EXPECT_NE (typeOf (text), "category") << text;
}

TEST_F (VantrelServerTest, AServerWhosePortIsBusyStaysUntouchedAndIsTriedAgain)
{
    // Port 3030, where a new server's search starts, held by another program (this test, or
    // anyone else: busy either way), and a second port certainly held by this test.
    juce::StreamingSocket firstHolder, holder;
    const bool heldFirst = firstHolder.createListener (ServerManager::firstPort);
    while (! holder.createListener (port))
        port = test::nextCandidatePort();

    start (juce::String (oneList) + "<Servers IP=\"0.0.0.0\">" + serverNode (ServerManager::firstPort, "Front")
           + serverNode (port, "Crew", "<color hex=\"ff3fb6dc\"/>") + "</Servers>");
    auto& manager = *controller->serverManager;
    ASSERT_EQ (manager.getNumServers(), 2);
    ASSERT_TRUE (test::pumpUntil ([&] { return shownDialog().isNotEmpty(); }, 5000));
    EXPECT_TRUE (shownDialog().startsWith ("I couldn't create a server on port "));
    EXPECT_TRUE (shownDialog().endsWith (". Don't worry, you can just add another server, I will use the next available port instead!"
                                         " This server stays in the project, and I will try its port again at the next start"
                                         " or when the network address changes."));

    // Both stay in the document as they were, and in the manager; nothing to undo.
    test::pumpFor (1300);
    auto state = manager.getState();
    ASSERT_EQ (state.getNumChildren(), 2);
    auto crew = state.getChild (1);
    EXPECT_EQ (crew[IDs::name].toString(), "Crew");
    EXPECT_EQ ((int) crew[IDs::port], port);
    EXPECT_EQ (crew.getChildWithName (IDs::ColorMask).getChild (0)[IDs::hex].toString(), "ff3fb6dc");
    EXPECT_EQ (manager.getNumServers(), 2);
    EXPECT_FALSE (manager.getServer (1)->isServing());
    EXPECT_FALSE (AppData::getUndoManager()->canUndo());
    EXPECT_TRUE (test::readBytes (controller->getAppData().getDocumentFile()).contains ("name=\"Crew\""));

    // Its page row still follows renames and undo of the node.
    struct Changes : VantrelServer::Listener
    {
        int count = 0;
        void serverChanged() override { ++count; }
    } changes;
    auto idle = manager.getServer (1);
    idle->addListener (&changes);
    crew.setProperty (IDs::name, "Crew 2", AppData::getUndoManager());
    EXPECT_EQ (changes.count, 1);
    EXPECT_EQ (idle->getName(), "Crew 2");
    AppData::getUndoManager()->undo();
    EXPECT_EQ (changes.count, 2);
    EXPECT_EQ (idle->getName(), "Crew");
    idle->removeListener (&changes);

    // A new server takes neither stored port, even while they are free.
    firstHolder.close();
    holder.close();
    manager.addServer();
    ASSERT_EQ (manager.getNumServers(), 3);
    const auto added = manager.getServer (2)->getPort();
    EXPECT_NE (added, ServerManager::firstPort) << (heldFirst ? "" : "(3030 was held elsewhere)");
    EXPECT_NE (added, port);

    // A change of network address tries the port again.
    manager.setNetworkAddress ("127.0.0.1");
    auto retried = manager.getServer (1);
    EXPECT_EQ (retried->getName(), "Crew");
    EXPECT_TRUE (test::pumpUntil ([&] { return retried->isServing(); }, 5000));
    EXPECT_EQ (retried->getBindAddress(), "127.0.0.1");
}

TEST_F (VantrelServerTest, SetNetworkUndoAndRedoRestartTheServers)
{
    startWithServer();
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());
    auto& manager = *controller->serverManager;
    const auto running = [&] (const char* address)
    { return test::pumpUntil ([&] { return server->getBindAddress() == address && server->getSocketServer()->isRunning(); }); };

    manager.setNetworkAddress ("127.0.0.1");
    EXPECT_TRUE (running ("127.0.0.1"));
    controller->undo();
    EXPECT_EQ (manager.getNetworkAddress(), "0.0.0.0");
    EXPECT_TRUE (running ("0.0.0.0"));
    controller->redo();
    EXPECT_TRUE (running ("127.0.0.1"));

    // An address this machine does not have: reported, and the server's node stays.
    DialogPresenter::getInstance()->dismiss();
    manager.setNetworkAddress ("192.0.2.250");
    ASSERT_TRUE (test::pumpUntil ([&] { return shownDialog().isNotEmpty(); }, 5000));
    EXPECT_TRUE (shownDialog().contains ("192.0.2.250"));
    EXPECT_TRUE (shownDialog().contains (juce::String (port)));
    EXPECT_EQ (manager.getNumServers(), 1);

    // Nor does a new server's port search run forever there.
    DialogPresenter::getInstance()->dismiss();
    manager.addServer();
    EXPECT_EQ (shownDialog(), "I couldn't find a free port for a new server at the address 192.0.2.250.");
    EXPECT_EQ (manager.getNumServers(), 1);
}

TEST_F (VantrelServerTest, AddAndDeleteServersWithUndo)
{
    start (juce::String (oneList) + "<Servers IP=\"0.0.0.0\"/>");
    auto& manager = *controller->serverManager;

    juce::StreamingSocket holder; // another program on the first candidate port
    const bool held = holder.createListener (ServerManager::firstPort);
    manager.addServer();
    ASSERT_EQ (manager.getNumServers(), 1);
    auto server = manager.getServer (0);
    EXPECT_EQ (server->getName(), "New Server");
    EXPECT_GE (server->getPort(), held ? ServerManager::firstPort + 1 : ServerManager::firstPort);
    const auto uuid = server->getUuid();
    const auto addedPort = server->getPort();
    EXPECT_EQ (uuid.length(), 32);

    controller->undo();
    EXPECT_EQ (manager.getNumServers(), 0);
    controller->redo();
    ASSERT_EQ (manager.getNumServers(), 1);
    EXPECT_EQ (manager.getServer (0)->getUuid(), uuid);
    EXPECT_EQ (manager.getServer (0)->getPort(), addedPort);

    manager.deleteServer (uuid);
    EXPECT_EQ (manager.getNumServers(), 0);
    controller->undo();
    EXPECT_EQ (manager.getNumServers(), 1);
}

TEST_F (VantrelServerTest, AServerKeptAcrossDocumentsFollowsTheNewNode)
{
    startWithServer();
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());

    const auto other = writeDocument ("Other", juce::String ("<CueLists/><ColorMask/><Servers IP=\"0.0.0.0\">")
                                                   + serverNode (port, "Stage Left") + "</Servers>");
    controller->getAppData().loadDocument (other, {});
    ASSERT_EQ (controller->serverManager->getNumServers(), 1);
    EXPECT_EQ (controller->serverManager->getServer (0), server) << "same port: not restarted";
    EXPECT_EQ (server->getName(), "Stage Left");
    EXPECT_TRUE (server->getState().isAChildOf (controller->getAppData().getRoot()));
}

TEST_F (VantrelServerTest, ServesTheDistFolder)
{
    const auto dist = VantrelServer::getDistFolder();
    const bool made = ! dist.exists();
    dist.createDirectory();
    const auto page = dist.getChildFile ("vantrel-test-" + juce::String (port) + ".html");
    page.replaceWithText ("<p>crew</p>");

    startWithServer();
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());
    auto answer = test::httpGet (port, "GET /" + page.getFileName().toStdString() + " HTTP/1.1\r\nHost: x\r\n\r\n");
    page.deleteFile();
    if (made)
        dist.deleteRecursively();
    ASSERT_TRUE (answer.has_value());
    EXPECT_EQ (answer->rfind ("HTTP/1.1 200", 0), 0u) << *answer;
    EXPECT_NE (answer->find ("<p>crew</p>"), std::string::npos);
}

TEST_F (VantrelServerTest, TimeMessagesFollowTheTimeManager)
{
    startWithServer();
    auto server = waitForServing();
    ASSERT_TRUE (server->isServing());
    RawClient client;
    ASSERT_EQ (connectAndReadGreeting (client, port).size(), 4u);

    auto& master = controller->timeManager->master;
    master.setDriver (master.getDriverNames().indexOf ("Internal Clock"));

    juce::var time;
    ASSERT_TRUE (test::pumpUntil ([&]
    {
        auto text = nextText (client, 50);
        if (text && typeOf (*text) == "time")
            time = juce::JSON::parse (juce::String (*text));
        return time.isObject() && (bool) time["isRunning"];
    }, 5000));
    EXPECT_EQ (time["fps"], juce::var (1000));
    const auto now = juce::Time::getCurrentTime();
    const auto msOfDay = ((now.getHours() * 60 + now.getMinutes()) * 60 + now.getSeconds()) * 1000 + now.getMilliseconds();
    auto difference = std::abs ((int) time["millis"] - msOfDay);
    difference = juce::jmin (difference, 86400000 - difference); // either side of midnight
    EXPECT_LT (difference, 5000);
}

TEST_F (VantrelServerTest, AServerDeletedWhileABrowserIsBeingGreetedIsNeverTouchedAgain)
{
    startWithServer();
    ASSERT_NE (waitForLiveList(), nullptr);
    auto* socketServer = waitForServing()->getSocketServer();
    ASSERT_TRUE (controller->serverManager->getServer (0)->isServing());
    const auto uuid = controller->serverManager->getServer (0)->getUuid();

    RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.upgrade ("/"));
    // The server thread is reporting the connection (its greeting gets posted) while this
    // thread, without running the message loop, deletes the server.
    const auto until = juce::Time::getMillisecondCounter() + 5000;
    while (socketServer->getNumClients() == 0 && juce::Time::getMillisecondCounter() < until)
        juce::Thread::yield();
    ASSERT_EQ (socketServer->getNumClients(), 1);
    controller->serverManager->deleteServer (uuid);
    ASSERT_EQ (controller->serverManager->getNumServers(), 0);

    // The posted greeting finds the server gone.
    test::pumpFor (50);
    EXPECT_TRUE (client.waitForClose (5000));
}
