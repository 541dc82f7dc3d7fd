#include "time/MasterTimeDriver.h"

#include "time/InternalClockReader.h"

MasterTimeDriver::MasterTimeDriver()
    : MasterTimeDriver (std::make_unique<InternalClockReader>(), std::make_unique<LTCReader>())
{
}

MasterTimeDriver::MasterTimeDriver (std::unique_ptr<TimeDriver> internalClock, std::unique_ptr<LTCReader> ltc)
{
    jassert (internalClock != nullptr && ltc != nullptr);
    ltcReader = ltc.get();
    drivers.add (internalClock.release());
    drivers.add (ltc.release());

    // Listening to both for good means no driver's listener array changes while it runs.
    for (auto* driver : drivers)
        driver->addListener (this);

    setDriver (1);
}

MasterTimeDriver::~MasterTimeDriver()
{
    stop();
    for (auto* driver : drivers)
        driver->removeListener (this);
}

void MasterTimeDriver::setFps (int newFps)
{
    auto* driver = getCurrent();
    if (driver->getSupportedFps().contains (newFps))
        driver->setFps (newFps);
}

void MasterTimeDriver::stop()
{
    for (auto* driver : drivers)
        driver->stop();
}

void MasterTimeDriver::setDriver (int index)
{
    if (! juce::isPositiveAndBelow (index, drivers.size()))
        return;

    current = index;
    callDriverChanged();
}

juce::StringArray MasterTimeDriver::getDriverNames() const
{
    juce::StringArray names;
    for (auto* driver : drivers)
        names.add (driver->getName());
    return names;
}

void MasterTimeDriver::timeChanged (TimeDriver* source)
{
    if (source == getCurrent())
        callTimeChanged();
}

void MasterTimeDriver::signalInterrupted()
{
    callSignalInterrupted();
}
