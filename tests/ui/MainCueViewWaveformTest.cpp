#include "AudioFiles.h"
#include "server/WebClientFixture.h"
#include "ui/MainCueView.h"
#include "ui/kit/VantrelLookAndFeel.h"

using test::RawClient;

namespace
{
class MainCueViewWaveform : public test::WebClientFixture
{
protected:
    int port = test::nextCandidatePort();
    VantrelLookAndFeel lookAndFeel;
    std::unique_ptr<MainCueView> view;

    MainCueViewWaveform() { juce::Desktop::getInstance().setDefaultLookAndFeel (&lookAndFeel); }

    ~MainCueViewWaveform() override
    {
        view.reset();
        if (controller != nullptr)
            controller->timeManager->master.stop();
        juce::Desktop::getInstance().setDefaultLookAndFeel (nullptr);
    }
};
}

TEST_F (MainCueViewWaveform, ABrowserGetsThePeaksOfTheLiveListsAudio)
{
    const auto audio = home.getHome().getChildFile ("show.wav");
    juce::WavAudioFormat wav;
    ASSERT_TRUE (test::writeAudio (wav, audio, 8000, 200 * 8000, test::quietSine));

    // A list spanning 3 min 20 s from 00:00:00:00.
    start (R"(<CueLists>
        <CueList uuid="22222222222222222222222222222222" name="Show" offset="00:00:00:00" fps="25" start="0" audiofile=")"
           + audio.getFullPathName() + R"(">
          <Cues>
            <cue id="b1" number="1" text="Intro" start="0.0" duration="0" color="ff3fb6dc"/>
            <cue id="b2" number="2" text="Out" start="190000.0" duration="10000" color="ffcfb228"/>
          </Cues>
        </CueList>
      </CueLists><ColorMask/><Servers IP="0.0.0.0">)" + serverNode (port) + "</Servers>");
    ASSERT_NE (waitForLiveList(), nullptr);
    auto server = waitForServing();
    ASSERT_TRUE (server != nullptr && server->isServing());

    RawClient client;
    ASSERT_TRUE (client.connect (port));
    ASSERT_TRUE (client.upgrade ("/"));

    // The greeting's waveform has no peaks yet; the view's timeline sends them once read.
    view = std::make_unique<MainCueView> (*controller);
    std::optional<std::string> waveform;
    const auto until = juce::Time::getMillisecondCounter() + 30000;
    while (! waveform && juce::Time::getMillisecondCounter() < until)
    {
        auto text = nextText (client, 1000);
        if (text && typeOf (*text) == "waveform" && text->find ("\"data\":null") == std::string::npos)
            waveform = text;
    }
    ASSERT_TRUE (waveform.has_value());

    EXPECT_NE (waveform->find ("\"duration\":200000.0,"), std::string::npos) << waveform->substr (0, 80);
    const auto parsed = juce::JSON::parse (juce::String (*waveform));
    EXPECT_EQ ((int) parsed["length"], 8000);
    ASSERT_TRUE (parsed["data"].isArray());
    EXPECT_EQ (parsed["data"].size(), 16000);
    EXPECT_EQ (controller->serverManager->getPeaks().size(), 16000);
    EXPECT_EQ (controller->serverManager->getWaveformLength(), 200000.0f);
}
