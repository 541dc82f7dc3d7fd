#include "FakeAudioDevice.h"
#include "ManualDriver.h"
#include "support/HostileFiles.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/LTCReader.h"
#include "tools/LtcSignal.h"

#include <gtest/gtest.h>

namespace
{
struct AudioInputFixture : ::testing::Test
{
    test::TempHome home;
    std::shared_ptr<test::FakeAudioInput> input = std::make_shared<test::FakeAudioInput>();
    test::FakeDeviceManager* manager = nullptr;
    std::unique_ptr<LTCReader> reader;

    juce::File audioXml() const { return home.getPreferencesFolder().getChildFile ("audio.xml"); }

    void writeAudioXml (const juce::String& text) const
    {
        audioXml().getParentDirectory().createDirectory();
        audioXml().replaceWithText (text);
    }

    void start()
    {
        auto dm = std::make_unique<test::FakeDeviceManager> (input);
        manager = dm.get();
        reader = std::make_unique<LTCReader> (std::move (dm));
    }

    std::unique_ptr<juce::XmlElement> savedState() const { return juce::parseXML (audioXml()); }

    /** What the audio page does when the user picks an input. */
    void pickInput (const juce::String& name)
    {
        auto setup = manager->getAudioDeviceSetup();
        setup.inputDeviceName = name;
        setup.useDefaultInputChannels = true;
        EXPECT_EQ (manager->setAudioDeviceSetup (setup, true), juce::String());
    }
};
}

TEST_F (AudioInputFixture, AFirstStartOpensNoDeviceAndThePickedInputOpensWithOneInputAndNoOutputs)
{
    start();
    EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr);

    pickInput ("Fake In B");
    auto* device = manager->getFakeDevice();
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->inputName, "Fake In B");
    EXPECT_TRUE (device->isPlaying());
    EXPECT_EQ (device->getActiveInputChannels().countNumberOfSetBits(), 1);
    EXPECT_TRUE (device->getActiveInputChannels()[0]);
    EXPECT_TRUE (device->getActiveOutputChannels().isZero());

    // The choice is written at once, in the framework's own file form.
    ASSERT_TRUE (test::pumpUntil ([&] {
        auto state = savedState();
        return state != nullptr && state->getStringAttribute ("audioInputDeviceName") == "Fake In B";
    }));
    const auto text = test::readBytes (audioXml());
    EXPECT_TRUE (text.startsWith ("<?xml"));
    EXPECT_TRUE (text.contains ("\r\n"));
    EXPECT_EQ (savedState()->getTagName(), "DEVICESETUP");
}

TEST_F (AudioInputFixture, ASavedInputOpensAgain)
{
    writeAudioXml (R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In B"/>)");
    start();

    auto* device = manager->getFakeDevice();
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->inputName, "Fake In B");
    EXPECT_TRUE (device->getActiveInputChannels()[0]);
    EXPECT_TRUE (device->getActiveOutputChannels().isZero());
}

TEST_F (AudioInputFixture, AnAbsentSavedDeviceFallsBackToTheDefaultInputAndKeepsTheFile)
{
    writeAudioXml (R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Gone"/>)");
    start();

    auto* device = manager->getFakeDevice();
    ASSERT_NE (device, nullptr);
    EXPECT_EQ (device->inputName, "Fake In A");
    EXPECT_TRUE (device->getActiveInputChannels()[0]);
    EXPECT_TRUE (device->getActiveOutputChannels().isZero());

    // The device manager's change messages rewrite the file, still naming the absent input,
    // so it is used again when it comes back.
    test::pumpFor (100);
    auto state = savedState();
    ASSERT_NE (state, nullptr);
    EXPECT_EQ (state->getStringAttribute ("audioInputDeviceName"), "Gone");
}

TEST_F (AudioInputFixture, AnEmptyOrBrokenFileActsAsMissing)
{
    for (const auto* text : { "", "<DEVICESETUP deviceType=\"Fake\"", "not xml at all" })
    {
        writeAudioXml (text);
        start();
        EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr) << text;

        pickInput ("Fake In A");
        ASSERT_NE (manager->getFakeDevice(), nullptr) << text;
        EXPECT_TRUE (manager->getFakeDevice()->getActiveOutputChannels().isZero()) << text;
        reader.reset();
    }
}

TEST_F (AudioInputFixture, TheBlockHandlerAndLevelMeterAreInPlaceBeforeTheDeviceStarts)
{
    // The device calls back from inside its start, before the reader's constructor returns.
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    input->render = [&] (float* dest, int n) { signal.render (dest, n); };
    input->blocksOnStart = 48000 * 3 / 512;
    writeAudioXml (R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In A"/>)");
    start();

    EXPECT_GT (reader->getLastFrameEnd(), 0);
    EXPECT_EQ (reader->getFps(), 25);

    // The level rose during those first blocks, so the fall to silence is reported.
    test::RecordingDriverListener listener;
    reader->addListener (&listener);
    signal.setSilent (true);
    for (int i = 0; i < 200; ++i)
        manager->getFakeDevice()->deliver (512);
    EXPECT_EQ (listener.interruptions, 1);
    reader->removeListener (&listener);
}

TEST_F (AudioInputFixture, EachFallOfTheLevelIsOneInterruption)
{
    LtcSignal signal (48000.0, 25, { 10, 0, 0, 0 });
    input->render = [&] (float* dest, int n) { signal.render (dest, n); };
    writeAudioXml (R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In A"/>)");
    start();

    test::RecordingDriverListener listener;
    reader->addListener (&listener);
    auto run = [&] (bool silent, double seconds) {
        signal.setSilent (silent);
        for (int i = 0; i < (int) (seconds * 48000 / 512); ++i)
            manager->getFakeDevice()->deliver (512);
    };

    // Signal, then a long silence: one interruption for the first frame after nothing, one for
    // the fall of the level, and none more however long the silence lasts.
    run (false, 1.0);
    const int afterStart = listener.interruptions;
    run (true, 3.0);
    EXPECT_EQ (listener.interruptions, afterStart + 1);

    // Back, then gone again: one more for the fall. The returning frames continue the count
    // (the timecode ran on while silent), which is a jump of its own.
    run (false, 1.0);
    const int afterReturn = listener.interruptions;
    run (true, 3.0);
    EXPECT_EQ (listener.interruptions, afterReturn + 1);
    reader->removeListener (&listener);
}

TEST_F (AudioInputFixture, HostileFilesActAsMissing)
{
    // What a start without the file leaves behind.
    start();
    test::pumpFor (100);
    const auto asMissing = test::bytesOf (audioXml());
    reader.reset();

    const juce::String sample = R"(<DEVICESETUP deviceType="Fake" audioOutputDeviceName="" audioInputDeviceName="Fake In B"/>)";
    for (const auto& hostile : test::hostileFiles (sample))
    {
        SCOPED_TRACE (hostile.name);
        test::writeBytes (audioXml(), hostile.bytes);
        start();
        if (hostile.readable)
        {
            // A usable state: its device opens, and the file then follows the device.
            ASSERT_NE (manager->getFakeDevice(), nullptr);
            EXPECT_EQ (manager->getFakeDevice()->inputName, "Fake In B");
        }
        else
        {
            EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr);
            test::pumpFor (100);
            EXPECT_TRUE (test::bytesOf (audioXml()) == asMissing) << "as after a start without the file";
        }
        reader.reset();
    }
}
