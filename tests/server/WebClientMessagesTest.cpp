#include "WebClientFixture.h"

#include "server/VantrelServer.h"

using test::WebClientFixture;

namespace
{
juce::var parse (const juce::String& json) { return juce::JSON::parse (json); }

// A timecode list at 25 fps starting at 01:00:00:12, with an Audio, a Light and an Audio cue.
const char* showList = R"(
  <CueLists>
    <CueList uuid="11111111111111111111111111111111" name="Show" offset="00:00:00:00" fps="25" start="3600480">
      <Cues>
        <cue id="a1" number="1" text="Intro" start="3600480.0" duration="0" color="ff3fb6dc"/>
        <cue id="a2" number="2" text="Caf&#233; &quot;Q&quot;" start="3700000.0" duration="0" color="ffcfb228"/>
        <cue id="a3" number="3" text="Out" start="3800000.0" duration="0" color="ff3fb6dc"/>
      </Cues>
    </CueList>
  </CueLists>
  <ColorMask/>)";
}

class WebClientMessages : public WebClientFixture
{
protected:
    int port = test::nextCandidatePort();
};

TEST_F (WebClientMessages, MiscAndWebColours)
{
    start (juce::String ("<CueLists/><ColorMask/><Servers IP=\"0.0.0.0\">") + serverNode (port, "New Server") + "</Servers>");
    auto server = controller->serverManager->getServer (0);
    ASSERT_NE (server, nullptr);
    EXPECT_EQ (server->createMiscMessage(), R"({"type":"misc","version":"1.1.0.643","name":"New Server"})");

    server->getState().removeProperty (IDs::name, nullptr);
    EXPECT_EQ (server->createMiscMessage(), R"({"type":"misc","version":"1.1.0.643","name":null})");

    const struct { juce::uint32 argb; const char* web; } colours[] = {
        { 0xff3fb6dc, "#3fb6dcff" }, { 0x0a102030, "#1020300a" }, { 0x00000000, "#00000000" } };
    for (const auto& c : colours)
        EXPECT_EQ (VantrelServer::toWebColour (c.argb), c.web);

    Category category (juce::Colour (0xff3fb6dcu));
    EXPECT_EQ (VantrelServer::createCategoryMessage (category),
               "{\"type\":\"category\",\"uuid\":\"" + category.getUuid() + "\",\"displayColor\":\"#3fb6dcff\"}");
}

TEST_F (WebClientMessages, WaveformBeforeAndAfterPeaks)
{
    start (juce::String ("<CueLists/><ColorMask/><Servers IP=\"0.0.0.0\">") + serverNode (port) + "</Servers>");
    auto server = controller->serverManager->getServer (0);
    EXPECT_EQ (server->createWaveformMessage(), R"({"type":"waveform","duration":0.0,"length":0,"data":null})");

    juce::Array<int> peaks;
    for (int i = 0; i < 4000; ++i)
        peaks.add ((i % 2 == 0) ? -i % 255 : i % 255);
    controller->serverManager->setWaveform (peaks, 50000.0f);
    server->sendWaveform();
    const auto message = server->createWaveformMessage();
    EXPECT_TRUE (message.startsWith (R"({"type":"waveform","duration":50000.0,"length":2000,"data":[0,1,)")) << message;
    EXPECT_EQ (parse (message)["data"].size(), 4000);

    // No new peaks: the earlier data stays.
    controller->serverManager->setWaveform ({}, 1000.0f);
    EXPECT_EQ (parse (server->createWaveformMessage())["data"].size(), 4000);
    EXPECT_EQ (parse (server->createWaveformMessage())["length"], juce::var (0));
}

TEST_F (WebClientMessages, CueListMessage)
{
    start (juce::String (showList) + "<Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
    auto list = waitForLiveList();
    ASSERT_NE (list, nullptr);
    auto server = controller->serverManager->getServer (0);
    server->updateTrackedCues();

    const auto message = server->createCueListMessage();
    EXPECT_TRUE (message.startsWith (R"({"type":"cuelist","name":"Show","timetable":false,"offset":3600480,"fps":25,"duration":)"))
        << message;
    EXPECT_TRUE (message.contains (juce::String::fromUTF8 (R"("name":"Café \"Q\"")"))) << "UTF-8 text, escaped quotes";

    const auto json = parse (message);
    ASSERT_EQ (json["cues"].size(), 3);
    EXPECT_EQ (json["cues"][0]["number"], juce::var (1));
    EXPECT_EQ (json["cues"][0]["start"], juce::var (3600480.0));
    EXPECT_TRUE (message.contains (R"("start":3.7e6)")) << message;

    // Two Audio cues and one Light cue: two categories, in ascending uuid order.
    ASSERT_EQ (json["categories"].size(), 2);
    EXPECT_LT (json["categories"][0]["uuid"].toString(), json["categories"][1]["uuid"].toString());
    EXPECT_EQ (json["cues"][0]["category"], json["cues"][2]["category"]);

    // The server's mask hides Audio: one cue, one category. (This server never started
    // serving, so it re-tracks only when told.)
    server->getColorMask()->setColors ({ juce::Colour (0xff3fb6dcu) });
    server->updateTrackedCues();
    const auto masked = parse (server->createCueListMessage());
    ASSERT_EQ (masked["cues"].size(), 1);
    EXPECT_EQ (masked["cues"][0]["number"], juce::var (2));
    EXPECT_EQ (masked["categories"].size(), 1);

    // Everything hidden: cues and categories are null, and the time has no cue index.
    server->getColorMask()->setColors ({ juce::Colour (0xff3fb6dcu), juce::Colour (0xffcfb228u) });
    server->updateTrackedCues();
    const auto none = server->createCueListMessage();
    EXPECT_TRUE (none.endsWith (R"("cues":null,"categories":null})")) << none;
    EXPECT_EQ (server->createTimeMessage ({ 1800000, 25, true, false }),
               R"({"type":"time","millis":1800000,"fps":25,"isRunning":true,"cueIndex":-1})");
}

TEST_F (WebClientMessages, OffsetUsesWholeFramesAndAUsableRate)
{
    const struct { const char* fps; const char* start; int offset; } cases[] = {
        { "25", "3600480", 3600480 },
        { "30", "3600999", 3600966 }, // frame 30 read as 29
        { "30", "3600966.67", 3600966 },
    };
    for (const auto& c : cases)
    {
        start (juce::String (R"(<CueLists><CueList uuid="22222222222222222222222222222222" name="L" offset="00:00:00:00" fps=")")
               + c.fps + "\" start=\"" + c.start
               + R"("><Cues><cue id="x" number="1" text="X" start="3700000.0" duration="0" color="ff3fb6dc"/></Cues></CueList></CueLists>)"
               + "<ColorMask/><Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
        ASSERT_NE (waitForLiveList(), nullptr);
        auto server = controller->serverManager->getServer (0);
        EXPECT_EQ (parse (server->createCueListMessage())["offset"], juce::var (c.offset)) << c.fps << " " << c.start;
        controller.reset();
        port = test::nextCandidatePort();
    }

    // A list without a frame rate: the offset counts it as 30 fps, the message shows it as stored.
    start (juce::String (R"(<CueLists><CueList uuid="33333333333333333333333333333333" name="L" offset="00:00:00:00" start="3600999">)")
           + R"(<Cues><cue id="x" number="1" text="X" start="3700000.0" duration="0" color="ff3fb6dc"/></Cues></CueList></CueLists>)"
           + "<ColorMask/><Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
    ASSERT_NE (waitForLiveList(), nullptr);
    const auto json = parse (controller->serverManager->getServer (0)->createCueListMessage());
    EXPECT_EQ (json["offset"], juce::var (3600966));
    EXPECT_EQ (json["fps"], juce::var (0));
}

TEST_F (WebClientMessages, DayAdjustments)
{
    // A list from 23:00 to 01:00 (across midnight); and a timetable from 22:00 with a cue at 00:15.
    start (juce::String (R"(
      <CueLists>
        <CueList uuid="44444444444444444444444444444444" name="Night" offset="00:00:00:00" fps="25" start="82800000">
          <Cues>
            <cue id="n1" number="1" text="A" start="82800000.0" duration="0" color="ff3fb6dc"/>
            <cue id="n2" number="2" text="B" start="3000000.0" duration="600000" color="ff3fb6dc"/>
          </Cues>
        </CueList>
        <CueList uuid="55555555555555555555555555555555" name="Timetable" offset="00:00:00:00" fps="1000" timetable="1">
          <Cues>
            <cue id="t1" number="1" text="Doors" start="79200000" duration="3600000" color="ff3fb6dc"/>
            <cue id="t2" number="2" text="Late" start="900000" duration="1800000" color="ff3fb6dc"/>
          </Cues>
        </CueList>
      </CueLists><ColorMask/>)")
           + "<Servers IP=\"0.0.0.0\">" + serverNode (port) + "</Servers>");
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = controller->serverManager->getServer (0);
    auto lists = controller->cueListManager->getCueLists();
    auto night = controller->cueListManager->getCueList ("44444444444444444444444444444444");
    auto timetable = controller->cueListManager->getCueList ("55555555555555555555555555555555");
    ASSERT_NE (night, nullptr);
    ASSERT_NE (timetable, nullptr);

    controller->activeCueListHandler->setActiveCueList (night);
    test::pumpUntil ([&] { return controller->activeCueListHandler->getActiveCueList() == night; });
    server->updateTrackedCues();
    EXPECT_EQ (parse (server->createTimeMessage ({ 1800000, 25, true, false }))["millis"], juce::var (88200000));
    EXPECT_EQ (parse (server->createTimeMessage ({ 7200000, 25, true, false }))["millis"], juce::var (7200000));
    // Not a timetable: cues keep their own starts.
    EXPECT_EQ (parse (server->createCueListMessage())["cues"][1]["start"], juce::var (3000000.0));

    controller->activeCueListHandler->setActiveCueList (timetable);
    test::pumpUntil ([&] { return controller->activeCueListHandler->getActiveCueList() == timetable; });
    server->updateTrackedCues();
    const auto cues = parse (server->createCueListMessage())["cues"];
    ASSERT_EQ (cues.size(), 2);
    EXPECT_EQ (cues[1]["start"], juce::var (87300000.0));
    EXPECT_EQ (cues[1]["duration"], juce::var (1800000.0));
}
