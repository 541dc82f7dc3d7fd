#pragma once

#include "time/LTCReader.h"
#include "time/TimeDriver.h"

/** Owns the time drivers (0 the computer's clock, 1 LTC), makes one of them current and
    forwards it, so its listeners deal with a single driver. Both drivers run for the master's
    whole life and it listens to both all along: only the current one's times are passed on,
    interruptions of either are. */
class MasterTimeDriver : public TimeDriver, private TimeDriver::Listener
{
public:
    /** Builds the internal clock and the LTC reader and makes the LTC reader current. */
    MasterTimeDriver();

    /** Takes the given drivers instead (tests bring a hand-driven clock or a test device). */
    MasterTimeDriver (std::unique_ptr<TimeDriver> internalClock, std::unique_ptr<LTCReader> ltc);

    ~MasterTimeDriver() override;

    double getMillis() const override { return getCurrent()->getMillis(); }
    int getFps() const override { return getCurrent()->getFps(); }
    juce::String getName() const override { return getCurrent()->getName(); }
    juce::Array<int> getSupportedFps() const override { return getCurrent()->getSupportedFps(); }

    /** Passes the rate to the current driver when it supports it; otherwise nothing happens. */
    void setFps (int newFps) override;

    /** Stops both drivers. */
    void stop() override;

    /** Makes drivers[index] current and tells every listener, even when it already was;
        an index out of range changes nothing. Message thread. */
    void setDriver (int index);
    int getDriverIndex() const { return current.load(); }

    /** The names of all drivers in index order: "Internal Clock", "LTC". */
    juce::StringArray getDriverNames() const;

    /** The LTC reader's audio input, whichever driver is current. */
    juce::AudioDeviceManager* getAudioDeviceManager() const { return ltcReader->getAudioDeviceManager(); }

    LTCReader& getLTCReader() const { return *ltcReader; }

private:
    void timeChanged (TimeDriver* source) override;
    void signalInterrupted() override;

    TimeDriver* getCurrent() const { return drivers.getUnchecked (current.load()); }

    juce::OwnedArray<TimeDriver> drivers;
    LTCReader* ltcReader = nullptr;

    // Read on the drivers' threads with every time they deliver.
    std::atomic<int> current { 1 };

    JUCE_DECLARE_NON_COPYABLE (MasterTimeDriver)
};
