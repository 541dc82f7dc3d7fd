// The audio settings panel on a real audio device: JUCE's JACK device type with our LTC player
// as a client of a JACK server with the dummy backend. tests/e2e/jack_audio_settings.sh starts
// the server and the player and runs these tests (in test_jack); ctest does not run them on
// their own.

#include "time/Watchdog.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/AudioSettingsComponent.h"
#include "time/TimeManager.h"
#include "ui/kit/DialogComponent.h"
#include "ui/kit/DialogPresenter.h"

#include <gtest/gtest.h>
#include <iostream>
#include <string>

namespace
{
int idOfItem (const juce::ComboBox& combo, const juce::String& text)
{
    for (int i = 0; i < combo.getNumItems(); ++i)
        if (combo.getItemText (i) == text)
            return combo.getItemId (i);
    return 0;
}

juce::StringArray itemTexts (const juce::ComboBox& combo)
{
    juce::StringArray texts;
    for (int i = 0; i < combo.getNumItems(); ++i)
        texts.add (combo.getItemText (i));
    return texts;
}

/** Counts the frames the reader decodes, on the audio thread. */
struct FrameCounter : TimeDriver::Listener
{
    void timeChanged (TimeDriver*) override { ++frames; }
    std::atomic<int> frames { 0 };
};

struct JackAudioSettings : ::testing::Test
{
    test::TempHome home;
    juce::String playerName;
    // Destroyed in reverse: the panel before the device manager it edits, the audio input
    // before the counter it calls.
    FrameCounter counter;
    std::unique_ptr<LTCReader> reader;
    std::unique_ptr<TimeManager> manager;
    std::unique_ptr<AudioSettingsComponent> panel;

    void SetUp() override
    {
        playerName = juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_PLAYER", {});
        if (playerName.isEmpty())
            GTEST_FAIL() << "run through tests/e2e/jack_audio_settings.sh, which starts the JACK server and the players";

        // The player reports once it plays.
        const juce::File info (juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_INFO", {}));
        ASSERT_TRUE (test::pumpUntil ([&] { return info.existsAsFile(); }, 10000)) << "the player never reported";
        DialogPresenter::setInstance (new DialogPresenter());
    }

    void TearDown() override
    {
        panel.reset();
        manager.reset();
        reader.reset();
        DialogPresenter::setInstance (nullptr);
    }

    /** The panel as the audio page shows it: on screen, 900 x 278. */
    void showPanel (juce::AudioDeviceManager& dm)
    {
        panel = std::make_unique<AudioSettingsComponent> (dm);
        panel->setSize (900, 278);
        panel->addToDesktop (0);
        panel->setVisible (true);
    }

    AudioDeviceSettingsComponent& rows() const { return *panel->getDevicePanel(); }
    juce::ComboBox& inputs() const { return *rows().getInputComboBox(); }

    void chooseJack()
    {
        auto* types = panel->getTypeComboBox();
        ASSERT_NE (types, nullptr) << "ALSA and JACK make two device types";
        const int id = idOfItem (*types, "JACK");
        ASSERT_GT (id, 0) << itemTexts (*types).joinIntoString (", ");
        types->setSelectedId (id, juce::sendNotificationSync);
        ASSERT_TRUE (test::settle());
        ASSERT_NE (panel->getDevicePanel(), nullptr);
    }

    void chooseInput (const juce::String& name)
    {
        const int id = name.isEmpty() ? AudioDeviceSettingsComponent::noInputId : idOfItem (inputs(), name);
        ASSERT_NE (id, 0) << name << " is not among " << itemTexts (inputs()).joinIntoString (", ");
        inputs().setSelectedId (id, juce::sendNotificationSync);
        ASSERT_TRUE (test::settle());
    }

    juce::File audioXml() const { return home.getPreferencesFolder().getChildFile ("audio.xml"); }
    juce::String saved (const char* attribute) const
    {
        auto state = juce::parseXML (audioXml());
        return state != nullptr ? state->getStringAttribute (attribute) : juce::String ("<no file>");
    }
};
}

TEST_F (JackAudioSettings, ThePlayerIsAnInputAndChoosingItWritesAudioXmlAndLightsTheMeter)
{
    reader = std::make_unique<LTCReader>();
    auto& dm = *reader->getAudioDeviceManager();
    showPanel (dm);
    chooseJack();

    // JACK lists every client with output ports: the dummy backend's capture and our player.
    const auto names = itemTexts (inputs());
    EXPECT_TRUE (names.contains ("system")) << names.joinIntoString (", ");
    EXPECT_TRUE (names.contains (playerName)) << names.joinIntoString (", ");
    EXPECT_EQ (names[names.size() - 1], "No Input");

    chooseInput (playerName);
    EXPECT_EQ (inputs().getText(), playerName);
    ASSERT_NE (dm.getCurrentAudioDevice(), nullptr);
    EXPECT_EQ (dm.getCurrentAudioDevice()->getActiveInputChannels().countNumberOfSetBits(), 1);
    EXPECT_TRUE (dm.getCurrentAudioDevice()->getActiveOutputChannels().isZero());

    // Written with the change message, not at some later save.
    EXPECT_EQ (saved ("deviceType"), "JACK");
    EXPECT_EQ (saved ("audioInputDeviceName"), playerName);

    // The player has one port: no channel row, but the meter, which lights with the LTC.
    EXPECT_EQ (rows().getChannelSelector(), nullptr);
    ASSERT_NE (rows().getLevelMeter(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] {
        auto* meter = rows().getLevelMeter();
        return meter != nullptr && SimpleLevelMeter::getNumLitSegments (meter->getLevel()) > 0;
    }, 10000));

    // The server's one rate and block size.
    ASSERT_NE (rows().getBufferSizeComboBox(), nullptr);
    EXPECT_EQ (itemTexts (*rows().getSampleRateComboBox()), juce::StringArray ("48000 Hz"));
    EXPECT_EQ (rows().getSampleRateComboBox()->getText(), "48000 Hz");
    EXPECT_EQ (itemTexts (*rows().getBufferSizeComboBox()), juce::StringArray ("512 samples (10.7 ms)"));
    EXPECT_EQ (rows().getBufferSizeComboBox()->getText(), "512 samples (10.7 ms)");
    EXPECT_EQ (DialogPresenter::getInstance()->getShownDialog(), nullptr);
}

TEST_F (JackAudioSettings, AThousandReconfigurationsWhileLtcPlaysNeverDeadlock)
{
    // A player with the LTC on two ports, so the channel row exists and both channels carry it.
    const auto stereo = juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_STEREO_PLAYER", {});
    ASSERT_TRUE (stereo.isNotEmpty()) << "tests/e2e/jack_audio_settings.sh starts a second player";
    const juce::File stereoInfo (juce::SystemStats::getEnvironmentVariable ("VANTREL_JACK_STEREO_INFO", {}));
    ASSERT_TRUE (test::pumpUntil ([&] { return stereoInfo.existsAsFile(); }, 10000)) << "the second player never reported";

    // The whole time chain: reader, master driver, time manager publishing on the message thread.
    manager = std::make_unique<TimeManager> (nullptr, 30);
    auto& dm = *manager->master.getAudioDeviceManager();
    manager->master.getLTCReader().addListener (&counter);

    showPanel (dm);
    chooseJack();
    chooseInput (stereo);
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.frames > 25 && manager->getTimeInfo().running; }, 15000))
        << "no LTC from the player";

    // Every kind of change the panel makes, each applied while the audio callback decodes LTC
    // and tells the time manager: mostly the channel (the other one, then none), now and then
    // another device or none. The message loop runs between them, so the change messages and
    // the panel's own posted re-applications interleave with the next change.
    const auto started = juce::Time::getMillisecondCounterHiRes();
    const int framesBefore = counter.frames;
    bool heardThisRound = false;
    {
        for (int i = 0; i < 1000; ++i)
        {
            // A deadlock hangs one reconfiguration for good; a slow machine only makes each slow.
            const test::Watchdog watchdog (60, "reconfiguration " + std::to_string (i) + " of the audio input");
            if (i % 10 == 0)
                heardThisRound = false;

            switch (i % 100)
            {
                case 48: chooseInput (playerName); break;
                case 98: chooseInput ({}); break;
                case 49:
                case 99: chooseInput (stereo); break;
                default:
                {
                    auto* selector = rows().getChannelSelector();
                    ASSERT_NE (selector, nullptr) << "iteration " << i;
                    const int ids[] = { 2, 1, StereoChannelSelectorComponent::noInputId };
                    const int id = ids[i % 3];
                    const int before = counter.frames;
                    selector->getComboBox().setSelectedId (id, juce::sendNotificationSync);
                    ASSERT_TRUE (test::settle());

                    // Every ten changes, make sure the LTC is really heard on the chosen channel.
                    if (id > 0 && i % 10 >= 5 && ! heardThisRound)
                    {
                        ASSERT_TRUE (test::pumpUntil ([&] { return counter.frames > before; }, 10000)) << "iteration " << i;
                        heardThisRound = true;
                    }
                    break;
                }
            }
            if (HasFatalFailure())
                return;
        }
    }
    std::cout << "1000 reconfigurations in " << (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0
              << " s, " << counter.frames - framesBefore << " frames decoded meanwhile\n";

    // The last choice was the stereo player (iteration 999): it is stored,
    // heard and followed.
    EXPECT_EQ (saved ("audioInputDeviceName"), stereo);
    const int before = counter.frames;
    ASSERT_TRUE (test::pumpUntil ([&] { return counter.frames > before + 25 && manager->getTimeInfo().running; }, 15000));
    EXPECT_GT (manager->getTimeInfo().time, 10 * 3600 * 1000);
    EXPECT_EQ (DialogPresenter::getInstance()->getShownDialog(), nullptr) << DialogPresenter::getInstance()->getShownMessage();
}
