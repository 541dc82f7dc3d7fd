#include "FakeAudioDevice.h"
#include "support/MessageLoop.h"
#include "support/TempHome.h"
#include "time/AudioSettingsComponent.h"
#include "time/LTCReader.h"
#include "ui/kit/DialogComponent.h"
#include "ui/kit/DialogPresenter.h"

#include <gtest/gtest.h>

namespace
{
juce::StringArray itemTexts (const juce::ComboBox& combo)
{
    juce::StringArray texts;
    for (int i = 0; i < combo.getNumItems(); ++i)
        texts.add (combo.getItemText (i) + "=" + juce::String (combo.getItemId (i)));
    return texts;
}

/** The audio input as the application has it (the LTC reader's device manager), with fake
    devices, and the panel on it. */
struct AudioPanelFixture : ::testing::Test
{
    test::TempHome home;
    std::shared_ptr<test::FakeAudioInput> input = std::make_shared<test::FakeAudioInput>();
    test::FakeDeviceManager* manager = nullptr;
    std::unique_ptr<LTCReader> reader;
    std::unique_ptr<AudioSettingsComponent> panel;

    AudioPanelFixture() { DialogPresenter::setInstance (new DialogPresenter()); }

    ~AudioPanelFixture() override
    {
        panel.reset();
        reader.reset();
        DialogPresenter::setInstance (nullptr);
    }

    void start (juce::StringArray typeNames = { "Fake" })
    {
        auto dm = std::make_unique<test::FakeDeviceManager> (input, typeNames);
        manager = dm.get();
        reader = std::make_unique<LTCReader> (std::move (dm));
        panel = std::make_unique<AudioSettingsComponent> (*manager);
        panel->setSize (900, 278);
    }

    AudioDeviceSettingsComponent& rows() const { return *panel->getDevicePanel(); }
    juce::ComboBox& inputs() const { return *rows().getInputComboBox(); }

    juce::File audioXml() const { return home.getPreferencesFolder().getChildFile ("audio.xml"); }
    juce::String saved (const char* attribute) const
    {
        auto state = juce::parseXML (audioXml());
        return state != nullptr ? state->getStringAttribute (attribute) : juce::String ("<no file>");
    }

    /** Chooses an input as the user does and lets the change messages arrive. */
    void chooseInput (int id)
    {
        inputs().setSelectedId (id, juce::sendNotificationSync);
        ASSERT_TRUE (test::settle());
    }

    void clickAdvancedToggle()
    {
        auto* toggle = rows().getAdvancedToggle();
        ASSERT_NE (toggle, nullptr);
        const bool was = toggle->getToggleState();
        toggle->triggerClick();
        ASSERT_TRUE (test::pumpUntil ([&] { return toggle->getToggleState() != was; }));
    }

    juce::String shownTitle() const
    {
        auto* dialog = DialogPresenter::getInstance()->getShownDialog();
        return dialog != nullptr ? dialog->getTitle() : juce::String ("<none>");
    }
};
}

TEST_F (AudioPanelFixture, WithOneTypeThereIsNoTypeRowAndNothingOpensUntilAnInputIsChosen)
{
    start();
    EXPECT_EQ (panel->getTypeLabel(), nullptr);
    EXPECT_EQ (panel->getTypeComboBox(), nullptr);
    ASSERT_NE (panel->getDevicePanel(), nullptr);
    EXPECT_EQ (rows().getBounds(), juce::Rectangle<int> (0, 10, 900, 27));

    EXPECT_EQ (rows().getInputLabel()->getText(), "Input");
    EXPECT_EQ (rows().getInputLabel()->getBounds(), juce::Rectangle<int> (0, 0, 200, 27));
    EXPECT_EQ (inputs().getBounds(), juce::Rectangle<int> (200, 0, 700, 27));
    EXPECT_EQ (itemTexts (inputs()), juce::StringArray ({ "Fake In A=1", "Fake In B=2", "No Input=-1" }));
    EXPECT_EQ (inputs().getSelectedId(), -1);
    EXPECT_EQ (rows().getChannelSelector(), nullptr);
    EXPECT_EQ (rows().getLevelMeter(), nullptr);
    EXPECT_EQ (rows().getAdvancedToggle(), nullptr);
    EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr);
}

TEST_F (AudioPanelFixture, ChoosingAnInputOpensItWritesAudioXmlAndBuildsItsRows)
{
    start();
    chooseInput (2);

    ASSERT_NE (manager->getFakeDevice(), nullptr);
    EXPECT_EQ (manager->getFakeDevice()->inputName, "Fake In B");
    EXPECT_EQ (inputs().getText(), "Fake In B");
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioInputDeviceName") == "Fake In B"; }));

    // Two input channels: the channel row; the device started on its default channels, so the
    // first one is displayed and then stored as the explicit choice.
    auto* selector = rows().getChannelSelector();
    ASSERT_NE (selector, nullptr);
    EXPECT_EQ (selector->getLabel().getText(), "Channel:");
    EXPECT_EQ (itemTexts (selector->getComboBox()), juce::StringArray ({ "In 1=1", "In 2=2", "No input=-1" }));
    EXPECT_EQ (selector->getComboBox().getText(), "In 1");
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioDeviceInChans") == "1"; }));

    ASSERT_NE (rows().getLevelMeter(), nullptr);
    ASSERT_NE (rows().getAdvancedToggle(), nullptr);
    EXPECT_EQ (rows().getAdvancedLabel()->getText(), "Advanced Settings");
    EXPECT_EQ (rows().getAdvancedToggle()->getButtonText(), "Show");

    // The 27 px grid: input, channel, meter, then the toggle row with its gap.
    selector = rows().getChannelSelector();
    EXPECT_EQ (selector->getBounds(), juce::Rectangle<int> (200, 32, 700, 27));
    EXPECT_EQ (selector->getLabel().getBounds(), juce::Rectangle<int> (0, 0, 87, 27));
    EXPECT_EQ (selector->getComboBox().getBounds(), juce::Rectangle<int> (87, 0, 262, 27));
    EXPECT_EQ (rows().getLevelMeter()->getBounds(), juce::Rectangle<int> (200, 64, 700, 27));
    EXPECT_EQ (rows().getAdvancedLabel()->getBounds(), juce::Rectangle<int> (0, 101, 200, 27));
    EXPECT_EQ (rows().getAdvancedToggle()->getBounds(), juce::Rectangle<int> (200, 101, 350, 27));
    EXPECT_EQ (rows().getBounds(), juce::Rectangle<int> (0, 10, 900, 128));

    // "No Input" closes the device: channel row and meter go.
    chooseInput (-1);
    EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr);
    EXPECT_EQ (inputs().getSelectedId(), -1);
    EXPECT_EQ (rows().getChannelSelector(), nullptr);
    EXPECT_EQ (rows().getLevelMeter(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioInputDeviceName").isEmpty(); }));
}

TEST_F (AudioPanelFixture, TheAdvancedRowsShowAndHideWithTheToggle)
{
    start();
    chooseInput (1);
    auto& r = rows();
    ASSERT_NE (r.getSampleRateComboBox(), nullptr);
    EXPECT_FALSE (r.getSampleRateComboBox()->isVisible());
    EXPECT_FALSE (r.getBufferSizeLabel()->isVisible());

    clickAdvancedToggle();
    EXPECT_EQ (r.getAdvancedToggle()->getButtonText(), "Hide ");
    EXPECT_TRUE (r.getSampleRateComboBox()->isVisible());
    EXPECT_EQ (r.getSampleRateLabel()->getText(), "Sample rate");
    EXPECT_EQ (r.getSampleRateLabel()->getBounds(), juce::Rectangle<int> (0, 133, 200, 27));
    EXPECT_EQ (r.getSampleRateComboBox()->getBounds(), juce::Rectangle<int> (200, 133, 700, 27));
    EXPECT_EQ (r.getBufferSizeLabel()->getText(), "Buffer Size");
    EXPECT_EQ (r.getBufferSizeComboBox()->getBounds(), juce::Rectangle<int> (200, 165, 700, 27));
    EXPECT_EQ (r.getHeight(), 192);

    clickAdvancedToggle();
    EXPECT_EQ (r.getAdvancedToggle()->getButtonText(), "Show ");
    EXPECT_FALSE (r.getSampleRateComboBox()->isVisible());
    EXPECT_FALSE (r.getBufferSizeComboBox()->isVisible());
    EXPECT_EQ (r.getHeight(), 128);
}

TEST_F (AudioPanelFixture, RateAndBufferItemsNameTheirValuesAndAChoiceIsApplied)
{
    start();
    chooseInput (1);
    auto& rates = *rows().getSampleRateComboBox();
    auto& sizes = *rows().getBufferSizeComboBox();

    EXPECT_EQ (itemTexts (rates), juce::StringArray ({ "44100 Hz=44100", "48000 Hz=48000" }));
    EXPECT_EQ (rates.getText(), "48000 Hz");
    EXPECT_EQ (itemTexts (sizes), juce::StringArray ({ "64 samples (1.3 ms)=64", "256 samples (5.3 ms)=256",
                                                       "480 samples (10.0 ms)=480", "512 samples (10.7 ms)=512",
                                                       "1024 samples (21.3 ms)=1024" }));
    EXPECT_EQ (sizes.getSelectedId(), 512);

    sizes.setSelectedId (480, juce::sendNotificationSync);
    EXPECT_EQ (manager->getFakeDevice()->getCurrentBufferSizeSamples(), 480);
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioDeviceBufferSize") == "480"; }));
    ASSERT_TRUE (test::settle());
    EXPECT_EQ (rows().getBufferSizeComboBox()->getSelectedId(), 480);

    // At another rate the durations follow it.
    rows().getSampleRateComboBox()->setSelectedId (44100, juce::sendNotificationSync);
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioDeviceRate") == "44100.0"; }));
    ASSERT_TRUE (test::settle());
    EXPECT_EQ (rows().getSampleRateComboBox()->getText(), "44100 Hz");
    EXPECT_EQ (rows().getBufferSizeComboBox()->getItemText (2), "480 samples (10.9 ms)");
    EXPECT_EQ (manager->getFakeDevice()->getCurrentBufferSizeSamples(), 480);
}

TEST_F (AudioPanelFixture, RefusalsAreShownWithTheirOwnTitleButNotForTheChannel)
{
    struct Case
    {
        const char* title;
        const char* message;
        std::function<void (AudioPanelFixture&)> act;
    };
    const Case cases[] = {
        { "Error opening input!", "Device is busy", [] (AudioPanelFixture& f) {
             f.input->openError = "Device is busy";
             f.chooseInput (2);
         } },
        { "Error setting sample rate!", "Rate refused", [] (AudioPanelFixture& f) {
             f.input->refusedSampleRate = 44100.0;
             f.rows().getSampleRateComboBox()->setSelectedId (44100, juce::sendNotificationSync);
         } },
        { "Error setting buffer size!", "Size refused", [] (AudioPanelFixture& f) {
             f.input->refusedBufferSize = 256;
             f.rows().getBufferSizeComboBox()->setSelectedId (256, juce::sendNotificationSync);
         } },
    };

    start();
    for (const auto& c : cases)
    {
        *input = {};
        DialogPresenter::getInstance()->dismiss();
        chooseInput (1);
        ASSERT_NE (manager->getCurrentAudioDevice(), nullptr) << c.title;

        c.act (*this);
        EXPECT_EQ (shownTitle(), c.title);
        auto* dialog = DialogPresenter::getInstance()->getShownDialog();
        ASSERT_NE (dialog, nullptr) << c.title;
        EXPECT_EQ (DialogPresenter::getInstance()->getShownMessage(), c.message);
        ASSERT_EQ (dialog->getButtons().size(), 1);
        EXPECT_EQ (dialog->getButtons()[0]->getButtonText(), "OK");

        // The panel then shows what is open: nothing, after a refused reopen.
        ASSERT_TRUE (test::settle());
        EXPECT_EQ (manager->getCurrentAudioDevice(), nullptr) << c.title;
        EXPECT_EQ (inputs().getSelectedId(), -1) << c.title;
    }

    // A refused channel leaves no dialog.
    *input = {};
    DialogPresenter::getInstance()->dismiss();
    chooseInput (1);
    input->openError = "No such channel";
    rows().getChannelSelector()->getComboBox().setSelectedId (2, juce::sendNotificationSync);
    ASSERT_TRUE (test::settle());
    EXPECT_EQ (DialogPresenter::getInstance()->getShownDialog(), nullptr);
}

TEST_F (AudioPanelFixture, NoInputOnTheChannelRowKeepsTheDeviceWithoutChannels)
{
    start();
    chooseInput (1);
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioDeviceInChans") == "1"; }));

    rows().getChannelSelector()->getComboBox().setSelectedId (2, juce::sendNotificationSync);
    ASSERT_TRUE (test::settle());
    EXPECT_EQ (manager->getFakeDevice()->getActiveInputChannels(), juce::BigInteger (2));
    EXPECT_EQ (rows().getChannelSelector()->getComboBox().getText(), "In 2");
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioDeviceInChans") == "10"; }));

    rows().getChannelSelector()->getComboBox().setSelectedId (-1, juce::sendNotificationSync);
    ASSERT_TRUE (test::settle());
    ASSERT_NE (manager->getFakeDevice(), nullptr);
    EXPECT_TRUE (manager->getAudioDeviceSetup().inputChannels.isZero());
    EXPECT_EQ (inputs().getText(), "Fake In A");
    EXPECT_EQ (rows().getChannelSelector()->getComboBox().getText(), "No input");
    EXPECT_EQ (rows().getChannelSelector()->getComboBox().getSelectedId(), -1);
}

TEST_F (AudioPanelFixture, AnInputChosenAfterNoInputOnTheChannelRowOpensWithItsFirstChannel)
{
    // "No input" on the channel row leaves the device manager wanting no channel by default;
    // a one-channel input, which has no channel row, must still open with its channel.
    start();
    chooseInput (1);
    rows().getChannelSelector()->getComboBox().setSelectedId (-1, juce::sendNotificationSync);
    ASSERT_TRUE (test::settle());
    chooseInput (-1);

    input->numInputChannels = 1;
    chooseInput (2);
    ASSERT_NE (manager->getFakeDevice(), nullptr);
    EXPECT_EQ (manager->getFakeDevice()->inputName, "Fake In B");
    EXPECT_TRUE (manager->getFakeDevice()->isPlaying());
    EXPECT_EQ (manager->getFakeDevice()->getActiveInputChannels(), juce::BigInteger (1));
    EXPECT_EQ (rows().getChannelSelector(), nullptr);
    EXPECT_NE (rows().getLevelMeter(), nullptr);
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("audioInputDeviceName") == "Fake In B" && saved ("audioDeviceInChans") == "1"; }));
}

TEST_F (AudioPanelFixture, WithSeveralTypesATypeRowChoosesTheTypeAndRebuildsTheRows)
{
    start ({ "Fake", "Other" });
    ASSERT_NE (panel->getTypeLabel(), nullptr);
    EXPECT_EQ (panel->getTypeLabel()->getText(), "Audio Device");
    EXPECT_EQ (panel->getTypeLabel()->getBounds(), juce::Rectangle<int> (0, 0, 200, 27));
    auto& types = *panel->getTypeComboBox();
    EXPECT_EQ (types.getBounds(), juce::Rectangle<int> (200, 0, 700, 27));
    EXPECT_EQ (itemTexts (types), juce::StringArray ({ "Fake=1", "Other=2" }));
    EXPECT_EQ (types.getText(), "Fake");
    EXPECT_EQ (rows().getY(), 37);

    juce::Component::SafePointer<AudioDeviceSettingsComponent> before (panel->getDevicePanel());
    types.setSelectedId (2, juce::sendNotificationSync);
    ASSERT_TRUE (test::settle());
    EXPECT_EQ (manager->getCurrentAudioDeviceType(), "Other");
    EXPECT_EQ (types.getText(), "Other");
    EXPECT_EQ (before, nullptr);
    ASSERT_NE (panel->getDevicePanel(), nullptr);
    EXPECT_EQ (rows().getY(), 37);

    chooseInput (2);
    ASSERT_NE (manager->getFakeDevice(), nullptr);
    EXPECT_EQ (manager->getFakeDevice()->getTypeName(), "Other");
    ASSERT_TRUE (test::pumpUntil ([&] { return saved ("deviceType") == "Other"; }));
}
