#include "model/ModelFixture.h"

#include "document/Identifiers.h"
#include "model/CategoryManager.h"
#include "model/CueList.h"
#include "server/LiveWaveform.h"
#include "server/WebClientMessages.h"

namespace
{
juce::var parse (const juce::String& json) { return juce::JSON::parse (json); }

// A timecode list at 25 fps starting at 01:00:00:12, with an Audio, a Light and an Audio cue.
const char* showList = R"(
    <CueList uuid="11111111111111111111111111111111" name="Show" offset="00:00:00:00" fps="25" start="3600480">
      <Cues>
        <cue id="a1" number="1" text="Intro" start="3600480.0" duration="0" color="ff3fb6dc"/>
        <cue id="a2" number="2" text="Caf&#233; &quot;Q&quot;" start="3700000.0" duration="0" color="ffcfb228"/>
        <cue id="a3" number="3" text="Out" start="3800000.0" duration="0" color="ff3fb6dc"/>
      </Cues>
    </CueList>)";

const juce::Colour audio (0xff3fb6dcu);
const juce::Colour light (0xffcfb228u);
}

/** Messages from a plain show model: lists in the document, their categories, a waveform. */
class WebClientMessagesTest : public test::ModelFixture
{
protected:
    std::shared_ptr<CategoryManager> categories = std::make_shared<CategoryManager>();

    std::shared_ptr<CueList> makeList (const juce::String& xml)
    {
        auto node = juce::ValueTree::fromXml (xml);
        appData->getOrCreateChild (IDs::CueLists).appendChild (node, nullptr);
        return std::make_shared<CueList> (node, categories);
    }

    /** The "cuelist" message of a list seen through a mask, as a server builds it. */
    static juce::String cueListMessage (const CueList& list, const juce::Array<juce::Colour>& mask = {})
    {
        const auto tracked = WebClientMessages::visibleCues (&list, mask);
        return WebClientMessages::cueList (&list, tracked, WebClientMessages::linkedCategories (tracked));
    }
};

TEST_F (WebClientMessagesTest, MiscCategoryAndWebColours)
{
    EXPECT_EQ (WebClientMessages::misc ("New Server"), R"({"type":"misc","version":"1.1.0.643","name":"New Server"})");
    EXPECT_EQ (WebClientMessages::misc ({}), R"({"type":"misc","version":"1.1.0.643","name":null})");

    const struct { juce::uint32 argb; const char* web; } colours[] = {
        { 0xff3fb6dc, "#3fb6dcff" }, { 0x0a102030, "#1020300a" }, { 0x00000000, "#00000000" } };
    for (const auto& c : colours)
        EXPECT_EQ (WebClientMessages::toWebColour (c.argb), c.web);

    Category category (audio);
    EXPECT_EQ (WebClientMessages::category (category),
               "{\"type\":\"category\",\"uuid\":\"" + category.getUuid() + "\",\"displayColor\":\"#3fb6dcff\"}");
}

TEST_F (WebClientMessagesTest, WaveformBeforeAndAfterPeaks)
{
    LiveWaveform waveform;
    EXPECT_EQ (WebClientMessages::waveform (waveform, {}), R"({"type":"waveform","duration":0.0,"length":0,"data":null})");

    juce::Array<int> peaks;
    for (int i = 0; i < 4000; ++i)
        peaks.add ((i % 2 == 0) ? -i % 255 : i % 255);
    waveform.set (peaks, 50000.0f);
    const auto stored = WebClientMessages::toPeakData (peaks);
    const auto message = WebClientMessages::waveform (waveform, stored);
    EXPECT_TRUE (message.startsWith (R"({"type":"waveform","duration":50000.0,"length":2000,"data":[0,1,)")) << message;
    EXPECT_EQ (parse (message)["data"].size(), 4000);

    // Length and pair count are the current waveform's, the data what a server stored.
    waveform.set ({}, 1000.0f);
    EXPECT_EQ (parse (WebClientMessages::waveform (waveform, stored))["data"].size(), 4000);
    EXPECT_EQ (parse (WebClientMessages::waveform (waveform, stored))["length"], juce::var (0));
}

TEST_F (WebClientMessagesTest, CueListMessage)
{
    auto list = makeList (showList);
    const auto message = cueListMessage (*list);
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

    // A mask that hides Audio: one cue, one category.
    const auto masked = parse (cueListMessage (*list, { audio }));
    ASSERT_EQ (masked["cues"].size(), 1);
    EXPECT_EQ (masked["cues"][0]["number"], juce::var (2));
    EXPECT_EQ (masked["categories"].size(), 1);

    // Everything hidden: cues and categories are null, and the time has no cue index.
    const auto none = cueListMessage (*list, { audio, light });
    EXPECT_TRUE (none.endsWith (R"("cues":null,"categories":null})")) << none;
    int hint = 0;
    EXPECT_EQ (WebClientMessages::time ({ 1800000, 25, true, false }, {}, hint),
               R"({"type":"time","millis":1800000,"fps":25,"isRunning":true,"cueIndex":-1})");

    // The next cue's index, kept as the next hint.
    const auto tracked = WebClientMessages::visibleCues (list.get(), {});
    EXPECT_EQ (parse (WebClientMessages::time ({ 3650000, 25, true, false }, tracked, hint))["cueIndex"], juce::var (1));
    EXPECT_EQ (hint, 1);

    // No live list: the empty text.
    EXPECT_EQ (WebClientMessages::cueList (nullptr, {}, {}), "");
}

TEST_F (WebClientMessagesTest, OffsetUsesWholeFramesAndAUsableRate)
{
    const struct { const char* fps; const char* start; int offset; } cases[] = {
        { "25", "3600480", 3600480 },
        { "30", "3600999", 3600966 }, // frame 30 read as 29
        { "30", "3600966.67", 3600966 },
    };
    for (const auto& c : cases)
    {
        auto list = makeList (juce::String (R"(<CueList uuid="22222222222222222222222222222222" name="L" offset="00:00:00:00" fps=")")
                              + c.fps + "\" start=\"" + c.start
                              + R"("><Cues><cue id="x" number="1" text="X" start="3700000.0" duration="0" color="ff3fb6dc"/></Cues></CueList>)");
        EXPECT_EQ (parse (cueListMessage (*list))["offset"], juce::var (c.offset)) << c.fps << " " << c.start;
    }

    // A list without a frame rate: the offset counts it as 30 fps, the message shows it as stored.
    auto list = makeList (R"(<CueList uuid="33333333333333333333333333333333" name="L" offset="00:00:00:00" start="3600999">)"
                          R"(<Cues><cue id="x" number="1" text="X" start="3700000.0" duration="0" color="ff3fb6dc"/></Cues></CueList>)");
    const auto json = parse (cueListMessage (*list));
    EXPECT_EQ (json["offset"], juce::var (3600966));
    EXPECT_EQ (json["fps"], juce::var (0));
}

TEST_F (WebClientMessagesTest, DayAdjustments)
{
    // A list from 23:00 to 01:00 (across midnight); and a timetable from 22:00 with a cue at 00:15.
    auto night = makeList (R"(
        <CueList uuid="44444444444444444444444444444444" name="Night" offset="00:00:00:00" fps="25" start="82800000">
          <Cues>
            <cue id="n1" number="1" text="A" start="82800000.0" duration="0" color="ff3fb6dc"/>
            <cue id="n2" number="2" text="B" start="3000000.0" duration="600000" color="ff3fb6dc"/>
          </Cues>
        </CueList>)");
    auto timetable = makeList (R"(
        <CueList uuid="55555555555555555555555555555555" name="Timetable" offset="00:00:00:00" fps="1000" timetable="1">
          <Cues>
            <cue id="t1" number="1" text="Doors" start="79200000" duration="3600000" color="ff3fb6dc"/>
            <cue id="t2" number="2" text="Late" start="900000" duration="1800000" color="ff3fb6dc"/>
          </Cues>
        </CueList>)");

    const auto tracked = WebClientMessages::visibleCues (night.get(), {});
    int hint = 0;
    EXPECT_EQ (parse (WebClientMessages::time ({ 1800000, 25, true, false }, tracked, hint))["millis"], juce::var (88200000));
    EXPECT_EQ (parse (WebClientMessages::time ({ 7200000, 25, true, false }, tracked, hint))["millis"], juce::var (7200000));
    // Not a timetable: cues keep their own starts.
    EXPECT_EQ (parse (cueListMessage (*night))["cues"][1]["start"], juce::var (3000000.0));

    const auto cues = parse (cueListMessage (*timetable))["cues"];
    ASSERT_EQ (cues.size(), 2);
    EXPECT_EQ (cues[1]["start"], juce::var (87300000.0));
    EXPECT_EQ (cues[1]["duration"], juce::var (1800000.0));
}
