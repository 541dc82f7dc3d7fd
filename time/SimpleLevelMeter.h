#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** A 64-segment bar of the device manager's input level, the last segment red. Reads the level
    every 50 ms while it is on screen; off screen it reads nothing and shows silence. */
class SimpleLevelMeter : public juce::Component, private juce::Timer
{
public:
    /** Holding the level getter keeps the device manager measuring the input level. */
    explicit SimpleLevelMeter (juce::AudioDeviceManager& deviceManager);
    ~SimpleLevelMeter() override;

    static constexpr int numSegments = 64;
    static constexpr int pollIntervalMs = 50;

    /** How many segments a linear level lights: the cube root spreads quiet levels over the
        bar; 0 lights none, 1 and above light all. */
    static int getNumLitSegments (float level);

    /** The level last read (0 while off screen). */
    float getLevel() const { return level; }

    /** Shows a level until the next poll replaces it. */
    void setLevel (float newLevel);

    void paint (juce::Graphics& g) override;
    void resized() override {}

private:
    void timerCallback() override;

    juce::AudioDeviceManager::LevelMeter::Ptr levelGetter;
    float level = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SimpleLevelMeter)
};
